#!/bin/sh
# Builds media for a product of 100,000 small files (COUNT) with the media builder and prints the time and
# the peak memory, beside wixl (msitools) making an MSI package of the same files in the same run when it
# is installed. The product's files come from a dynamic folder; its media are disks of 50 MB (the first
# also holds the setup database, about 37 MB for these files), since one cabinet lists at most 65535 files.
# Arguments: the bench tree (with many_files_build), the setup program's image TSS.dat, optionally COUNT.
set -eu
bench=$(cd "$1" && pwd)
raw="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
count=${3:-100000}
work="$bench/hundred-thousand"
winpath() { echo "Z:$1" | tr / '\\'; }
rm -rf "$work/media" "$work/peer"
mkdir -p "$work"
# The sources are kept for the next run; the media are not.
trap 'rm -rf "$work/media" "$work/peer"' EXIT

"$bench/bench/many_files_build" "$(winpath "$work")" "$(winpath "$raw")" "$count" 50000000

if ! command -v wixl >/dev/null 2>&1; then
    echo "wixl: not installed (Debian package wixl, from msitools); no peer figure"
    exit 0
fi
mkdir -p "$work/peer"
# One component per source folder, each with its folder's files; fixed GUIDs so that runs compare.
python3 - "$work/source-noisy" "$work/peer/product.wxs" <<'PY'
import os, sys, uuid
source, out = sys.argv[1], sys.argv[2]
folders = sorted((d for d in os.listdir(source) if d.startswith("set")), key=lambda d: int(d[3:]))
with open(out, "w") as wxs:
    wxs.write('<?xml version="1.0"?>\n<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">\n'
              '<Product Id="12345678-1234-1234-1234-123456789012" Name="Tessaro Many" Language="1033" '
              'Version="1.0.0" Manufacturer="Bench" UpgradeCode="12345678-1234-1234-1234-123456789013">\n'
              '<Package InstallerVersion="200" Compressed="yes"/>\n<Media Id="1" Cabinet="data.cab" EmbedCab="yes"/>\n'
              '<Directory Id="TARGETDIR" Name="SourceDir"><Directory Id="ProgramFilesFolder">'
              '<Directory Id="INSTALLDIR" Name="Tessaro Many">\n')
    components = []
    for n, folder in enumerate(folders):
        names = sorted(f for f in os.listdir(os.path.join(source, folder)) if f.endswith(".txt"))
        component = "c%d" % n
        components.append(component)
        guid = uuid.uuid5(uuid.NAMESPACE_URL, "tessaro-bench/" + folder)
        wxs.write('<Directory Id="d%d" Name="%s"><Component Id="%s" Guid="%s">\n' % (n, folder, component, guid))
        for i, name in enumerate(names):
            wxs.write('<File Id="f%d_%d" Source="%s/%s"%s/>\n'
                      % (n, i, folder, name, ' KeyPath="yes"' if i == 0 else ''))
        wxs.write('</Component></Directory>\n')
    wxs.write('</Directory></Directory></Directory>\n<Feature Id="All" Level="1">\n')
    wxs.writelines('<ComponentRef Id="%s"/>\n' % c for c in components)
    wxs.write('</Feature>\n</Product>\n</Wix>\n')
PY
# wixl takes the sources' paths relative to the folder it runs in.
if (cd "$work/source-noisy" && /usr/bin/time -f '%e %M' -o "$work/peer/time" timeout 1800 wixl \
    -o "$work/peer/product.msi" "$work/peer/product.wxs") >"$work/peer/log" 2>&1; then
    awk -v count="$count" '{ printf "wixl (msitools) of %d files: %.2f s, %.0f files/s, peak memory %.1f MB\n",
        count, $1, count / $1, $2 / 1024 }' "$work/peer/time"
else
    echo "wixl failed or ran past 30 minutes:"; tail -5 "$work/peer/log"
fi
