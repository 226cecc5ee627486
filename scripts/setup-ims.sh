#!/usr/bin/env bash
# Prepares the order database the order window reaches through the ODBC data source "IMS".
# When no data source of that name exists yet (user or system), it creates a one-file SQLite
# order database from ims-schema.sql (only when that file is not there yet) and registers it as
# the user data source IMS on the driver "SQLite3" (Debian's libsqliteodbc). An existing data
# source or database is never touched, so running it again does nothing. Works as root or as a
# normal user; unixODBC's own ODBCINI / ODBCSYSINI settings are honoured.
#
# The file goes where the price list goes when nothing else is said: the person's data folder
# ($XDG_DATA_HOME/brasko). Installed, this script is brasko-setup-orders and finds the schema in
# share/brasko.
#
#   IMS_DATABASE=/path/orders.sqlite scripts/setup-ims.sh   # choose where the file goes
#   IMS_SCOPE=system scripts/setup-ims.sh                   # a machine-wide data source (as root)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
schema="$here/ims-schema.sql"
[ -f "$schema" ] || schema="$here/../share/brasko/ims-schema.sql"
dsn=IMS
driver=SQLite3

for tool in odbcinst sqlite3; do
  command -v "$tool" >/dev/null || { echo "setup-ims: '$tool' is missing (run scripts/install-deps.sh)." >&2; exit 1; }
done

if odbcinst -q -s -n "$dsn" >/dev/null 2>&1; then
  echo "The ODBC data source $dsn already exists; left as it is."
  exit 0
fi
if ! odbcinst -q -d -n "$driver" >/dev/null 2>&1; then
  echo "setup-ims: the ODBC driver '$driver' is not registered (Debian package libsqliteodbc)." >&2
  exit 1
fi

# unixODBC finds user data sources in the home folder of the password database, not $HOME.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
home=${home:-$HOME}
data_home=${XDG_DATA_HOME:-$home/.local/share}
scope=${IMS_SCOPE:-user}
case $scope in
  user) scope_flag=-h ;;
  system) scope_flag=-l; data_home=/var/lib ;;
  *) echo "setup-ims: IMS_SCOPE is 'user' or 'system', not '$scope'." >&2; exit 2 ;;
esac
db=${IMS_DATABASE:-$data_home/brasko/ims.sqlite}

if [ -e "$db" ]; then
  echo "The order database $db already exists; it is used as it is."
else
  mkdir -p "$(dirname "$db")"
  # Built beside its final place and moved in whole, so a failure never leaves half a database.
  tmp=$(mktemp "$db.XXXXXX")
  rm -f "$tmp"
  if ! sqlite3 -bail "$tmp" < "$schema"; then
    rm -f "$tmp"
    echo "setup-ims: the order database could not be created from $schema." >&2
    exit 1
  fi
  mv -n "$tmp" "$db"
  rm -f "$tmp"
  echo "Created the order database $db."
fi

template=$(mktemp)
trap 'rm -f "$template"' EXIT
printf '[%s]\nDescription=Brasko order database\nDriver=%s\nDatabase=%s\n' "$dsn" "$driver" "$db" > "$template"
odbcinst -i -s "$scope_flag" -f "$template" >/dev/null
echo "Registered the $scope ODBC data source $dsn on $db."
