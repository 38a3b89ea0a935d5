# debian_mirror ETC-APT CODENAME: the address of the Debian archive that the
# machine's apt sources already use for CODENAME (bookworm, say), from
# ETC-APT/sources.list, sources.list.d/*.list (one-line form) and
# sources.list.d/*.sources (deb822 form). Prints nothing if none names it.
# Sourced by setup.sh, which writes the backports suite at the same address,
# so that a machine behind its own mirror or proxy keeps using it.
debian_mirror() {
    etc=$1 codename=$2
    # The first source that names the release, of every file in apt's order.
    {
    for file in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        # deb [options] URI SUITE COMPONENTS...
        awk -v suite="$codename" '
            $1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                if ($(i + 1) == suite) { print $i; exit }
            }' "$file"
    done
    for file in "$etc"/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # Stanzas of "Field: value" lines, apart by blank lines.
        awk -v suite="$codename" '
            function flush() {
                if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && enabled != "no") {
                    split(uris, u, " "); print u[1]; found = 1
                }
                types = suites = uris = enabled = ""
            }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); if (found) exit; next }
            tolower($1) == "types:" { $1 = ""; types = $0 }
            tolower($1) == "uris:" { $1 = ""; uris = $0 }
            tolower($1) == "suites:" { $1 = ""; suites = $0 }
            tolower($1) == "enabled:" { enabled = tolower($2) }
            END { if (!found) flush() }' "$file"
    done
    } | head -n 1 | sed 's|/*$||'
}

# apt_install ARGS...: apt-get install -y ARGS as $as_root, after an apt-get
# update. A mirror caught mid-sync serves an index that does not match its
# Release file, and the update fails on it: it is tried three times,
# $SETUP_UPDATE_PAUSE seconds apart (10), then the install goes on with the
# lists apt has, and once more with bookworm's own versions first. Should the
# install still fail after such an update, one line names
# what the mirror failed to give, from apt's "Err:" lines, and says to try
# again later. apt's own output reaches the user as it comes.
apt_install() {
    kept=$(mktemp -d) try=1
    while :; do
        # In the C locale, which leaves "Err:" untranslated.
        { LC_ALL=C $as_root apt-get update -q 2>&1 && touch "$kept/updated"; } | tee "$kept/update"
        [ ! -f "$kept/updated" ] || break
        if [ $try -eq 3 ]; then
            echo "setup: apt-get update failed $try times; going on with the package lists apt has" >&2
            break
        fi
        try=$((try + 1))
        echo "setup: apt-get update failed; trying again in ${SETUP_UPDATE_PAUSE:-10} s" >&2
        sleep "${SETUP_UPDATE_PAUSE:-10}"
    done
    status=0
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -q --no-install-recommends "$@" || status=$?
    if [ $status -ne 0 ] && [ ! -f "$kept/updated" ]; then
        # The index that failed is most often the security suite's for i386
        # alone: its amd64 versions of a library then stand ahead of the
        # i386 ones, and Multi-Arch wants both the same. The release's own
        # suite was read for both, so the install is tried once more with
        # its versions first (a -t among ARGS still wins).
        status=0
        DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -q --no-install-recommends -t bookworm "$@" ||
            status=$?
    fi
    if [ $status -ne 0 ] && [ ! -f "$kept/updated" ]; then
        # "Err:6 ADDRESS SUITE/COMPONENT ARCHITECTURE Packages", as apt writes it
        failed=$(awk '
            /^Err:/ {
                sub(/^Err:[0-9]* /, "")
                s = s (s == "" ? "could not read " : ", ") $0
            }
            END { print s }' "$kept/update")
        echo "setup: the package mirror failed: apt-get update ${failed:-failed}; run the same command again later" >&2
    fi
    rm -r "$kept"
    return $status
}
