#!/bin/sh
# The download page in the folders the release test left: the download each
# Windows is offered in headless Chromium, every link a file of the folder,
# the sizes, hashes and thumbprint true, readable in w3m, markup tidy accepts,
# a script IE 6 can run, and nothing to scroll sideways at 1024 and 360
# pixels. Screenshots at both widths stay in the work folder.
# usage: page.sh WORK-FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/roots.sh"
cd "$1" || exit 1
release=$PWD/release work=$PWD/page dir=$PWD/release/unsigned page=$PWD/release/unsigned/index.html
fresh "$work"
export LC_ALL=C.UTF-8
browse() {  # UA ARGS...: headless Chromium on a fresh profile, reaching no network
    ua=$1
    shift
    chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$(mktemp -d "$work/profile.XXXXXX")" \
        --user-agent="$ua" "$@" 2>/dev/null
}

while read -r expected ua; do
    dom=$(browse "$ua" --dump-dom "file://$page")
    marked=$(printf '%s' "$dom" | grep -o 'id="recommended"' | wc -l)
    seen=$(printf '%s' "$dom" | sed -n 's/.*<a href="\([^"]*\)" id="recommended".*/\1/p')
    { [ "$marked" -eq 1 ] && [ "$seen" = "$expected" ]; } || { [ "$marked" -eq 0 ] && [ "$expected" = none ]; }
    check $? "recommended ${seen:-none} to $ua" "expected $expected, $marked marked"
done <<EOF
CertInstall.exe Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)
CertInstall.exe Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)
CertInstall.exe Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.2; .NET CLR 1.1.4322)
CertInstallVista.exe Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.0)
CertInstallVista.exe Mozilla/5.0 (Windows NT 6.1; WOW64; Trident/7.0; rv:11.0) like Gecko
CertInstallVista.exe Mozilla/5.0 (Windows NT 6.3; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/109.0.0.0 Safari/537.36
CertInstallVista.exe Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36
none Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/17.0 Safari/605.1.15
EOF

grouped() {  # eight hex digits a group, as Windows shows a thumbprint
    fold -w 8 | paste -s -d ' '
}
status=0
for href in $(grep -o 'href="[^"#][^"]*"' "$page" | cut -d '"' -f 2 | sort -u); do
    [ -f "$dir/$href" ] || { status=1; echo "   $href: no such file"; }
done
for file in CertInstall.exe CertInstallVista.exe root.crt; do
    row=$(grep -F "<td><a href=\"$file\">" "$page")
    printf '%s' "$row" | grep -q -F "<td>$(wc -c < "$dir/$file") " &&
        printf '%s' "$row" | grep -q -F "$(sha256sum < "$dir/$file" | cut -c 1-64 | grouped)" ||
        { status=1; echo "   $file: size or SHA-256 not in its row: $row"; }
done
! grep -q -i -E 'src=|url\(|@import|://' "$page" && [ "$status" -eq 0 ]
check $? "every link is a file of the folder, its size and SHA-256 in the table, nothing from elsewhere"
openssl x509 -in "$release/operator-root.pem" -outform DER | cmp -s - "$dir/root.crt"
check $? "root.crt is the root, DER"

thumbprint=$(openssl x509 -in "$release/operator-root.pem" -noout -fingerprint -sha1 | sed 's/.*=//' | tr -d : | grouped)
text=$(w3m -dump -O UTF-8 -T text/html "$page")
line() { printf '%s\n' "$text" | grep -n -m 1 -F -- "$1" | cut -d : -f 1; }
classic=$(line CertInstall.exe) vista=$(line CertInstallVista.exe) table=$(line SHA-256) thumb=$(line "$thumbprint")
[ "${classic:-0}" -gt 0 ] && [ "${vista:-0}" -gt 0 ] && [ "$classic" -lt "${table:-0}" ] && [ "$vista" -lt "$table" ] &&
    [ "$table" -lt "${thumb:-0}" ] && [ "$(printf '%s\n' "$text" | grep -c -F "$thumbprint")" -eq 2 ]
check $? "w3m reads the downloads, then the table, then thumbprint $thumbprint for both Windows families" \
    "lines ${classic:-none}, ${vista:-none}, ${table:-none}, ${thumb:-none}"

grep -q -F "CN=signer" "$release/signed/index.html"
check $? "the signed release's page names the signer"
tidy -q -e "$page" > "$work/tidy.txt" 2>&1
check $? "tidy finds nothing in the markup" "$(cat "$work/tidy.txt")"
sed -n '/<script/,/<\/script>/p' "$page" | sed '1d;$d' > "$work/page.js"
said=$(acorn --ecma3 --silent "$work/page.js" 2>&1) && ! grep -n -E 'JSON|addEventListener|querySelector' "$work/page.js"
check $? "the script is ECMAScript 3 and uses nothing IE 6 lacks" "$said"

# A copy that marks itself "wide" if the page is wider than the window,
# "fits" if not; the screenshot of it is the page's own.
sed 's|</body>|<script>document.documentElement.className = document.documentElement.scrollWidth > document.documentElement.clientWidth ? "wide" : "fits";</script></body>|' \
    "$page" > "$work/width.html"
for size in 1024,768 360,740; do
    marked=$(browse "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)" --window-size=$size \
        --screenshot="$work/page-${size%,*}.png" --dump-dom "file://$work/width.html" | grep -o '<html[^>]*>')
    [ "${marked#*class=\"fits\"}" != "$marked" ]
    check $? "nothing to scroll sideways at ${size%,*} pixels wide (screenshot: $work/page-${size%,*}.png)" "$marked"
done

verdict "download page"
