#!/bin/bash
# Checks the built help file against the program: decompiles Quorvane.CHM and tests that every
# topic number the program can open maps to a page that is in the file, that every dialog of
# the resource scripts has a topic, that every control of the dialogs has a popup text in
# "::/Help.txt", that pages link only to pages that exist, and that the Chinese text arrives in
# code page 936. The numbers are read from the sources, so that a new dialog or control without
# help fails here. Usage: check-help.sh <Quorvane.CHM> <source root>
set -uo pipefail
export LC_ALL=C

chm="$1"
src="$2"
failures=0
checks=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { checks=$((checks + 1)); }

[ -s "$chm" ] || { echo "FAIL: no help file at $chm"; exit 1; }
command -v extract_chmLib >/dev/null || { echo "FAIL: extract_chmLib (libchm-bin) is missing"; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
out="$work/chm"
extract_chmLib "$chm" "$out" >"$work/extract.log" 2>&1 ||
    { cat "$work/extract.log"; echo "FAIL: extract_chmLib could not read $chm"; exit 1; }
if command -v 7z >/dev/null; then
    7z t "$chm" >"$work/7z.log" 2>&1 && pass || fail "7z finds the help file damaged"
fi

# --- Numbers from the sources ----------------------------------------------------------------
# Symbolic ids: the id headers, the named constants of the help tables, and the two standard
# buttons.
{
    echo "IDOK 1"
    echo "IDCANCEL 2"
    cat "$src"/app/*.h "$src"/dialogs/*.h "$src"/print/*.h "$src"/tools/*.h \
        "$src"/framework/*.h "$src"/common/*.h 2>/dev/null |
        sed -n 's/^#define  *\([A-Za-z_][A-Za-z0-9_]*\)  *\([0-9][0-9]*\)\b.*/\1 \2/p'
    sed -n 's/^const DWORD  *\([A-Za-z_][A-Za-z0-9_]*\) *= *\([0-9][0-9]*\);.*/\1 \2/p' \
        "$src/app/HelpTables.cpp"
} >"$work/ids"
declare -A idnum
while read -r name value; do
    [ -n "${idnum[$name]+set}" ] || idnum[$name]="$value"
done <"$work/ids"
resolve() { # <name or number> -> number, or nothing
    case "$1" in
    '') ;;
    *[!0-9]*) echo "${idnum[$1]-}" ;;
    *) echo "$1" ;;
    esac
}

tables="$src/app/HelpTables.cpp"
default_topic="$(sed -n 's/.*kDefaultHelpTopic *= *\([0-9][0-9]*\);.*/\1/p' "$src/app/HelpTables.h")"
[ -n "$default_topic" ] || fail "no default topic in app/HelpTables.h"

# kHelpTopics: "{key, topic}," lines between its opening and the closing "};".
sed -n '/^const HelpTopicEntry kHelpTopics\[\] = {/,/^};/p' "$tables" |
    sed -n 's/^ *{ *\([A-Za-z0-9_]*\) *, *\([0-9][0-9]*\) *},.*/\1 \2/p' >"$work/topics.sym"
[ -s "$work/topics.sym" ] || fail "no help topics read from app/HelpTables.cpp"
: >"$work/topics"
while read -r key topic; do
    n="$(resolve "$key")"
    [ -n "$n" ] || { fail "help key $key has no number"; continue; }
    echo "$n $topic" >>"$work/topics"
done <"$work/topics.sym"

# kControlHelpPairs: "NAME, number," lines up to the (0, 0) end.
sed -n '/^const DWORD kControlHelpPairs\[\] = {/,/^};/p' "$tables" |
    sed -n 's/^ *\([A-Za-z_][A-Za-z0-9_]*\|[0-9][0-9]*\) *, *\([0-9][0-9]*\) *,.*/\1 \2/p' |
    awk '$1 != "0"' >"$work/controls.sym"
[ -s "$work/controls.sym" ] || fail "no control help pairs read from app/HelpTables.cpp"
: >"$work/controls"
while read -r name text; do
    n="$(resolve "$name")"
    [ -n "$n" ] || { fail "control $name of the popup table has no number"; continue; }
    echo "$n $text $name" >>"$work/controls"
done <"$work/controls.sym"

# --- Topic numbers -> pages ------------------------------------------------------------------
# #IVB holds its length, then (context number, offset into #STRINGS) pairs; #STRINGS the page
# names, each ending with a zero byte.
[ -f "$out/#IVB" ] && [ -f "$out/#STRINGS" ] || fail "the help file has no context-id map"
: >"$work/aliases"
if [ -f "$out/#IVB" ]; then
    od -An -tu4 -v "$out/#IVB" | tr -s ' \n' '\n\n' | sed '/^$/d' | tail -n +2 | paste - - |
        while read -r id offset; do
            page="$(tail -c +$((offset + 1)) "$out/#STRINGS" | tr '\0' '\n' | head -n 1)"
            echo "$id $page"
        done >"$work/aliases"
fi
for topic in $(awk '{ print $2 }' "$work/topics") "$default_topic"; do
    page="$(awk -v t="$topic" '$1 == t { print $2; exit }' "$work/aliases")"
    if [ -z "$page" ]; then
        fail "topic $topic, which the program opens, is not in the help file's map"
    elif [ ! -f "$out/$page" ]; then
        fail "topic $topic maps to $page, which is not in the help file"
    else
        pass
    fi
done

# --- Every dialog has a topic; every control of a dialog has a popup text ---------------------
for rc in "$src"/res/*.rc; do
    tr -d '\r' <"$rc" | awk '
        /^[A-Za-z_0-9]+ +DIALOG(EX)? / { name = $1; indlg = 1; body = 0; print "D " name; next }
        indlg && /^BEGIN/ { body = 1; next }
        indlg && /^END/ { indlg = 0; body = 0; next }
        body { print "C " name " " $0 }
    '
done >"$work/dialog-lines"
while read -r tag name; do
    n="$(resolve "$name")"
    if [ -z "$n" ]; then
        fail "dialog $name has no number"
    elif grep -q "^$n " "$work/topics"; then
        pass
    else
        fail "dialog $name ($n) has no help topic in app/HelpTables.cpp"
    fi
done < <(grep '^D ' "$work/dialog-lines")

grep '^C ' "$work/dialog-lines" | cut -d' ' -f2- | while read -r dialog kind rest; do
    case "$kind" in
    LTEXT | RTEXT | CTEXT | GROUPBOX | ICON | '' | //*) continue ;;
    PUSHBUTTON | DEFPUSHBUTTON | CHECKBOX | AUTOCHECKBOX | RADIOBUTTON | AUTORADIOBUTTON | CONTROL)
        # Leave out the quoted text: the id follows it.
        rest="$(printf '%s' "$rest" | sed 's/^"\([^"]\|""\)*" *, *//')" ;;
    esac
    id="$(printf '%s' "$rest" | sed 's/^ *\([A-Za-z0-9_-]*\).*/\1/')"
    if [ "$kind" = CONTROL ]; then
        class="$(printf '%s' "$rest" | sed -n 's/^[^,]*, *\("[^"]*"\|[A-Za-z_0-9]*\).*/\1/p')"
        [ "$class" = '"Static"' ] && continue
    fi
    case "$id" in -1 | IDC_STATIC) continue ;; esac
    echo "$dialog $id"
done >"$work/dialog-controls"
while read -r dialog id; do
    n="$(resolve "$id")"
    if [ -z "$n" ]; then
        fail "control $id of $dialog has no number"
    elif grep -q "^$n " "$work/controls"; then
        pass
    else
        fail "control $id ($n) of $dialog has no popup text in app/HelpTables.cpp"
    fi
done <"$work/dialog-controls"
[ "$(wc -l <"$work/dialog-controls")" -gt 100 ] ||
    fail "only $(wc -l <"$work/dialog-controls") dialog controls found in res/*.rc"

# --- Popup texts -----------------------------------------------------------------------------
popups="$out/Help.txt"
if [ ! -f "$popups" ]; then
    fail "the help file has no Help.txt"
else
    tr -d '\r' <"$popups" >"$work/Help.txt"
    # The numbers of the topics that have text.
    awk '
        /^\.topic IDH_[0-9]+$/ { if (t != "" && body) print t; t = substr($2, 5); body = 0; next }
        /[^ \t]/ { body = 1 }
        END { if (t != "" && body) print t }' "$work/Help.txt" >"$work/texts"
    while read -r control text name; do
        if grep -qx "$text" "$work/texts"; then
            pass
        else
            fail "control $name ($control): popup text $text is missing from Help.txt"
        fi
        grep -qx "#define IDH_$text $text" "$out/HelpPopups.h" 2>/dev/null ||
            fail "popup text $text is not defined in HelpPopups.h"
    done <"$work/controls"
fi

# --- Links -----------------------------------------------------------------------------------
# Every page's links and images, and every entry of the contents and the index, name a file of
# the help file. Links to other sites and anchors within a page are left alone.
check_target() { # <page> <base folder> <target>
    local target="${3%%#*}"
    case "$3" in http:* | https:* | mailto:* | javascript:* | \#* | '') pass; return ;; esac
    if [ -f "$(realpath -m "$2/$target")" ]; then
        pass
    else
        fail "$1 links to $3, which is not in the help file"
    fi
}
pages=0
while IFS= read -r page; do
    pages=$((pages + 1))
    dir="$(dirname "$page")"
    while IFS= read -r target; do
        check_target "${page#"$out"/}" "$dir" "$target"
    done < <(tr '\r\n' '  ' <"$page" | grep -oiE '(href|src)="[^"]*"' | sed 's/^[^"]*"//; s/"$//')
    grep -qi 'charset=gb2312' "$page" || fail "${page#"$out"/} does not say it is in code page 936"
done < <(find "$out" -name '*.htm' -type f)
[ "$pages" -ge 20 ] || fail "only $pages pages in the help file"
for sitemap in "$out"/*.hhc "$out"/*.hhk; do
    [ -f "$sitemap" ] || { fail "the help file has no contents or index ($sitemap)"; continue; }
    while IFS= read -r target; do
        check_target "$(basename "$sitemap")" "$out" "$target"
    done < <(grep -oi '<param name="Local" value="[^"]*"' "$sitemap" | sed 's/.*value="//; s/"$//')
done
# Every page is in the contents.
while IFS= read -r page; do
    rel="${page#"$out"/}"
    grep -qF "value=\"$rel\"" "$out"/*.hhc && pass || fail "$rel is not in the table of contents"
done < <(find "$out" -name '*.htm' -type f)

# --- Chinese text ----------------------------------------------------------------------------
phrase_in() { # <file> <UTF-8 phrase>
    local gbk
    gbk="$(printf '%s' "$2" | iconv -f UTF-8 -t GBK)"
    grep -qF -- "$gbk" "$1"
}
phrase_in "$out/html/index.htm" "欢迎使用 Quorvane" && pass ||
    fail "the start page does not hold its title in code page 936"
phrase_in "$out/html/dlg_find.htm" "没有找到匹配的字符串" && pass ||
    fail "the find dialog's page does not hold its text in code page 936"
phrase_in "$work/Help.txt" "查找内容：要查找的文字" && pass ||
    fail "Help.txt does not hold the find box's text in code page 936"
phrase_in "$out/Quorvane.hhc" "对话框和设置页" && pass ||
    fail "the contents do not hold their section names in code page 936"
if grep -q $'\xef\xbb\xbf\|\xe6\xac\xa2' "$out/html/index.htm"; then
    fail "the start page still holds UTF-8"
fi

echo "$checks checks passed, $failures failed"
[ "$failures" -eq 0 ]
