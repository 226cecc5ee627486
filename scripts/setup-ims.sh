#!/usr/bin/env bash
# Prepares the order database the order window reaches through the ODBC data source "IMS".
# When no data source of that name exists yet (user or system), it creates a one-file SQLite
# order database from ims-schema.sql (only when that file is not there yet) and registers it as
# the user data source IMS on the driver "SQLite3" (Debian's libsqliteodbc). An existing data
# source or database is never touched, so running it again does nothing. Works as root or as a
# normal user; unixODBC's own ODBCINI / ODBCSYSINI settings are honoured.
#
#   IMS_DATABASE=/path/orders.sqlite scripts/setup-ims.sh   # choose where the file goes
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
schema="$here/ims-schema.sql"
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
db=${IMS_DATABASE:-$home/.local/share/brasko/ims.sqlite}

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
odbcinst -i -s -h -f "$template" >/dev/null
echo "Registered the user ODBC data source $dsn on $db."
