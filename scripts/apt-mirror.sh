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
