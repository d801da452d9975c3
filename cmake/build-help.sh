#!/bin/bash
# Builds the help file from the sources under res/help: the pages are converted from UTF-8 to
# code page 936, the contents, index and context-id map are generated, and the help compiler
# (cmake/help/HelpCompiler.pas, built by the build) writes the file.
# Usage: build-help.sh <res/help folder> <staging folder> <output .CHM> <help compiler>
set -euo pipefail
export LC_ALL=C

src="$1"
stage="$2"
out="$3"
compiler="$4"

fail() {
    echo "build-help: $*" >&2
    exit 1
}

[ -x "$compiler" ] || fail "the help compiler $compiler is missing"
command -v iconv >/dev/null || fail "iconv not found"

# The help viewer reads pages in the code page of the help file's language (0x804: 936).
to_gbk() { # <in> <out>
    iconv -f UTF-8 -t GBK "$1" >"$2" || fail "$1 has text that code page 936 cannot hold"
}

# The value of a page's <title>, and of its keywords meta, with the page read as one line.
page_title() { tr '\r\n' '  ' <"$1" | sed -n 's|.*<title>\([^<]*\)</title>.*|\1|Ip'; }
page_keywords() {
    tr '\r\n' '  ' <"$1" |
        sed -n 's|.*<meta name="keywords" content="\([^"]*\)".*|\1|Ip'
}
attr() { sed -e 's/&/\&amp;/g' -e 's/"/\&quot;/g' -e 's/</\&lt;/g'; }

rm -rf "$stage"
mkdir -p "$stage/html"

# Pages: every .htm below html/, with the charset meta replaced by code page 936's.
pages=()
while IFS= read -r rel; do
    pages+=("$rel")
done < <(cd "$src/html" && find . -type f -name '*.htm' | sed 's|^\./||' | sort)
[ ${#pages[@]} -gt 0 ] || fail "no pages under $src/html"

for rel in "${pages[@]}"; do
    in="$src/html/$rel"
    grep -qi '<head>' "$in" || fail "$rel has no <head>"
    [ -n "$(page_title "$in")" ] || fail "$rel has no <title>"
    mkdir -p "$stage/html/$(dirname "$rel")"
    sed -e '/<meta[^>]*charset/Id' \
        -e 's|<head>|<head>\n<meta http-equiv="Content-Type" content="text/html; charset=gb2312">|I' \
        "$in" >"$stage/tmp.htm"
    to_gbk "$stage/tmp.htm" "$stage/html/$rel"
done
rm -f "$stage/tmp.htm"

# Style sheets and images go in unchanged.
others=()
while IFS= read -r rel; do
    others+=("$rel")
    mkdir -p "$stage/html/$(dirname "$rel")"
    cp "$src/html/$rel" "$stage/html/$rel"
done < <(cd "$src/html" && find . -type f \( -name '*.css' -o -name '*.png' -o -name '*.gif' \
    -o -name '*.jpg' \) | sed 's|^\./||' | sort)

# Contents: the start page, the dialogs and pages in html/ORDER, the feature topics in
# html/topics/ORDER. A name in an ORDER file without its page is an error; a page missing from
# the ORDER files is still listed, after the others of its folder.
toc_entry() { # <page relative to html/>
    local name
    name="$(page_title "$src/html/$1" | attr)"
    printf '<LI> <OBJECT type="text/sitemap"><param name="Name" value="%s"><param name="Local" value="html/%s"></OBJECT>\n' \
        "$name" "$1"
}
section() { # <book name> <folder prefix or empty> <order file>
    local book="$1" prefix="$2" order="$3" listed=() name rel
    printf '<LI> <OBJECT type="text/sitemap"><param name="Name" value="%s"></OBJECT>\n<UL>\n' "$book"
    if [ -f "$order" ]; then
        while IFS= read -r name || [ -n "$name" ]; do
            name="${name%$'\r'}"
            [ -z "$name" ] && continue
            case "$name" in \#*) continue ;; esac
            [ -f "$src/html/$prefix$name" ] || fail "$order names $name, which does not exist"
            toc_entry "$prefix$name"
            listed+=("$prefix$name")
        done <"$order"
    fi
    for rel in "${pages[@]}"; do
        [ "$rel" = index.htm ] && continue
        if [ -z "$prefix" ]; then
            case "$rel" in */*) continue ;; esac
        else
            case "$rel" in "$prefix"*) ;; *) continue ;; esac
        fi
        case " ${listed[*]-} " in *" $rel "*) continue ;; esac
        toc_entry "$rel"
    done
    printf '</UL>\n'
}
{
    printf '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML><HEAD></HEAD><BODY>\n'
    printf '<OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>\n<UL>\n'
    [ -f "$src/html/index.htm" ] || fail "the start page html/index.htm is missing"
    toc_entry index.htm
    section "对话框和设置页" "" "$src/html/ORDER"
    if ls "$src/html/topics/"*.htm >/dev/null 2>&1; then
        section "功能说明" "topics/" "$src/html/topics/ORDER"
    fi
    printf '</UL>\n</BODY></HTML>\n'
} >"$stage/toc.utf8"
to_gbk "$stage/toc.utf8" "$stage/Quorvane.hhc"

# Index: each keyword of each page, sorted in code page 936 order (which is pinyin order for
# the common characters); a keyword on several pages lists them all.
for rel in "${pages[@]}"; do
    title="$(page_title "$src/html/$rel" | attr)"
    page_keywords "$src/html/$rel" | tr ';' '\n' | sed -e 's/^ *//' -e 's/ *$//' | attr |
        while IFS= read -r word || [ -n "$word" ]; do
            [ -n "$word" ] && printf '%s\t%s\t%s\n' "$word" "$rel" "$title"
        done
done >"$stage/keywords.utf8"
to_gbk "$stage/keywords.utf8" "$stage/keywords.gbk"
{
    printf '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML><HEAD></HEAD><BODY>\n<UL>\n'
    sort -t "$(printf '\t')" -k1,1 -k2,2 -u "$stage/keywords.gbk" | awk -F '\t' '
        $1 != last {
            if (NR > 1) print "</OBJECT>"
            printf "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"%s\">", $1
            last = $1
        }
        { printf "<param name=\"Name\" value=\"%s\"><param name=\"Local\" value=\"html/%s\">", $3, $2 }
        END { if (NR > 0) print "</OBJECT>" }'
    printf '</UL>\n</BODY></HTML>\n'
} >"$stage/Quorvane.hhk"

# Context ids: "<topic number> <page>" lines of Context.map, by which the program opens a topic
# by number.
context=""
while read -r id page rest || [ -n "${id:-}" ]; do
    case "${id:-}" in '' | \#*) continue ;; esac
    [[ "$id" =~ ^[0-9]+$ ]] || fail "Context.map: bad topic number '$id'"
    [ -n "${page:-}" ] && [ -z "${rest:-}" ] || fail "Context.map: line '$id ${page:-}' is not '<number> <page>'"
    [ -f "$src/html/$page" ] || fail "Context.map: topic $id names $page, which does not exist"
    context+="$id html/$page"$'\n'
done < <(tr -d '\r' <"$src/Context.map")

# Control popups: "::/Help.txt" with ".topic IDH_<n>" headings, and the header that gives each
# of them its number.
popups=""
if [ -f "$src/Help.txt" ]; then
    tr -d '\r' <"$src/Help.txt" | sed 's/$/\r/' >"$stage/Help.utf8"
    to_gbk "$stage/Help.utf8" "$stage/Help.txt"
    tr -d '\r' <"$src/Help.txt" | sed -n 's/^\.topic  *IDH_\([0-9][0-9]*\) *$/#define IDH_\1 \1/p' \
        >"$stage/HelpPopups.h"
    popups=yes
fi

# The stored files, and the context ids with their pages.
{
    for rel in "${pages[@]}" "${others[@]}"; do printf 'html/%s\n' "$rel"; done
    if [ -n "$popups" ]; then printf 'Help.txt\nHelpPopups.h\n'; fi
} >"$stage/files.lst"
printf '%s' "$context" >"$stage/context.lst"

rm -f "$stage/Quorvane.CHM"
"$compiler" "$stage" "$stage/Quorvane.CHM" "$(printf 'Quorvane 帮助' | iconv -f UTF-8 -t GBK)" \
    html/index.htm >"$stage/compiler.log" 2>&1 ||
    { cat "$stage/compiler.log" >&2; fail "the help compiler failed"; }
[ -s "$stage/Quorvane.CHM" ] || { cat "$stage/compiler.log" >&2; fail "the help compiler wrote no file"; }
mkdir -p "$(dirname "$out")"
# The help file replaces the old one only once it is complete.
cp "$stage/Quorvane.CHM" "$out.tmp"
mv -f "$out.tmp" "$out"
