#!/usr/bin/env bash
# A print server of the test's own: everything (configuration, spool, socket, output) lives
# in one temporary folder, so the machine's own queues are never touched.
#   private-cupsd.sh start DIR   starts it and creates the queues; prints CUPS_SERVER=<socket>
#   private-cupsd.sh stop DIR    stops it and removes what start put outside DIR
# Queues: "vx-file" writes each job to DIR/out/vx-file.out; as root also "vx-pdf", the PDF
# printer driver writing into DIR/pdf/.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
dir=$(cd "$dir" && pwd)
cupsd_bin=$(command -v cupsd || echo /usr/sbin/cupsd)
lpadmin_bin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
instance="vx-$(basename "$dir" | tr -c 'A-Za-z0-9\n' '-')"
pdf_conf="/etc/cups/cups-pdf-$instance.conf"

stop() {
  if [ -f "$dir/cupsd.pid" ]; then
    kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || break
      sleep 0.1
    done
    rm -f "$dir/cupsd.pid"
  fi
  rm -f "$pdf_conf"
}

if [ "$cmd" = stop ]; then
  stop
  exit 0
fi
[ "$cmd" = start ] || { echo "unknown command $cmd" >&2; exit 2; }
[ -x "$cupsd_bin" ] || { echo "cupsd not installed" >&2; exit 3; }

mkdir -p "$dir/etc/ppd" "$dir/spool/tmp" "$dir/cache" "$dir/state/certs" "$dir/log" "$dir/out" \
  "$dir/pdf"
# Filters and backends run as lp; they must reach the spool and the output folders.
chmod 0777 "$dir/out" "$dir/pdf" "$dir/spool" "$dir/spool/tmp" "$dir/cache" 2>/dev/null || true
chmod 0755 "$dir"
sock="$dir/cups.sock"

cat >"$dir/etc/cupsd.conf" <<CONF
Listen $sock
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cat >"$dir/etc/cups-files.conf" <<CONF
FileDevice Yes
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
CONF
if [ "$(id -u)" = 0 ]; then
  echo "User lp" >>"$dir/etc/cups-files.conf"
  echo "Group lp" >>"$dir/etc/cups-files.conf"
  echo "SystemGroup root" >>"$dir/etc/cups-files.conf"
fi

"$cupsd_bin" -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
  >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"
for _ in $(seq 100); do
  [ -S "$sock" ] && break
  kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || { cat "$dir/log/cupsd.out" >&2; exit 4; }
  sleep 0.1
done
[ -S "$sock" ] || { echo "cupsd did not start" >&2; stop; exit 4; }

export CUPS_SERVER="$sock"
touch "$dir/out/vx-file.out"
chmod 0666 "$dir/out/vx-file.out"
# An A4 PDF printer: the job's PDF, normalised by the PDF filter, goes to the file as it is.
# (A queue without any filter would leave a file device's output empty.)
cat >"$dir/vx-file.ppd" <<'PPD'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "VXFILE.PPD"
*Manufacturer: "Vornix"
*Product: "(Vornix test queue)"
*ModelName: "Vornix test queue"
*ShortNickName: "Vornix test queue"
*NickName: "Vornix test queue"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "12 12 583 830"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
PPD
"$lpadmin_bin" -p vx-file -E -v "file://$dir/out/vx-file.out" -P "$dir/vx-file.ppd" \
  2>>"$dir/log/lpadmin.out"

ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
if [ "$(id -u)" = 0 ] && [ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ]; then
  # The driver reads its settings from /etc/cups only: one file of this instance's own.
  cat >"$pdf_conf" <<CONF
Out $dir/pdf
AnonDirName $dir/pdf
Label 0
TitlePref 1
UserUMask 0000
CONF
  "$lpadmin_bin" -p vx-pdf -E -v "cups-pdf:/$instance" -P "$ppd" 2>>"$dir/log/lpadmin.out"
fi
echo "CUPS_SERVER=$sock"
