#!/usr/bin/env bash
# Brings up the local print system for the print tests: starts cupsd when it is not running, adds the
# cups-pdf queue "PDF" when it is missing, makes sure it is enabled and accepting, and makes it the
# default printer. It also keeps two queues that must never take a job, for the failure tests:
# "$queue-stopped" (accepting but stopped, i.e. off line) and "$queue-rejecting" (running but refusing
# jobs); they are never made the default. On success the last line on stdout is the folder where cups-pdf writes the jobs of
# the calling user. Every wait is bounded; on failure it says why on stderr and exits non-zero.
set -uo pipefail

queue=${BRASKO_TEST_PRINTER:-PDF}
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
conf=/etc/cups/cups-pdf.conf

fail() { echo "cups-fixture: $*" >&2; exit 1; }

for tool in cupsd lpadmin lpstat cupsenable cupsaccept; do
    command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] \
        || fail "'$tool' is missing: install cups, cups-bsd, cups-client and printer-driver-cups-pdf"
done
export PATH="$PATH:/usr/sbin"
[ -r "$ppd" ] || fail "$ppd is missing: install printer-driver-cups-pdf"

scheduler_up() { lpstat -r 2>/dev/null | grep -q 'is running'; }

if ! scheduler_up; then
    # Several test programs may get here at once; a second cupsd simply fails to bind and exits.
    cupsd >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do
        scheduler_up && break
        sleep 0.2
    done
    scheduler_up || fail "cupsd did not start within 10 s (see /var/log/cups/error_log)"
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
    lpadmin -p "$queue" -v cups-pdf:/ -E -P "$ppd" 2>&1 \
        || lpstat -p "$queue" >/dev/null 2>&1 \
        || fail "could not add the printer $queue"
fi
add_queue() {
    lpstat -p "$1" >/dev/null 2>&1 && return 0
    lpadmin -p "$1" -v cups-pdf:/ -P "$ppd" 2>/dev/null || lpstat -p "$1" >/dev/null 2>&1
}
add_queue "$queue-stopped" || fail "could not add the printer $queue-stopped"
add_queue "$queue-rejecting" || fail "could not add the printer $queue-rejecting"
cupsaccept "$queue-stopped" && cupsdisable "$queue-stopped" || fail "could not stop $queue-stopped"
cupsenable "$queue-rejecting" && cupsreject "$queue-rejecting" || fail "could not make $queue-rejecting refuse jobs"

# The PostScript step in front of cups-pdf: cups-filters' default (Ghostscript) turns a page with any
# transparency into one bitmap and drops the text of the rest; pdftocairo keeps text as text and
# vectors as vectors, so the tests can read the printed page back.
lpadmin -p "$queue" -o pdftops-renderer-default=pdftocairo || fail "could not set the PDF renderer of $queue"
cupsenable "$queue" || fail "could not enable $queue"
cupsaccept "$queue" || fail "could not make $queue accept jobs"
lpadmin -d "$queue" || fail "could not make $queue the default printer"

# cups-pdf writes into "Out" of its configuration, ${HOME} being the home folder of the job's user
# as the password database has it (not this shell's $HOME).
user=$(id -un)
home=$(getent passwd "$user" | cut -d: -f6)
out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' "$conf" 2>/dev/null | tail -n 1)
out=${out:-'${HOME}/PDF'}
out=${out//'${HOME}'/$home}
out=${out//'${USER}'/$user}
mkdir -p "$out" 2>/dev/null || true
echo "$out"
