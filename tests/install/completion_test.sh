#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the generated bash completion of veyla-cli on typed command lines.
#   completion_test.sh COMPLETION_FILE VEYLA_CLI
set -uo pipefail
completion=$1 cli=$2
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
ln -s "$(readlink -f "$cli")" "$bin/veyla-cli"
PATH="$bin:$PATH"
# shellcheck source=/dev/null
source "$completion"

failures=0 cases=0
# complete WORD... : the completions offered for the last word, one line, sorted.
complete_line()
{
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _veyla_cli
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | paste -sd' ' -
}
expect()
{
    local want=$1
    shift
    cases=$((cases + 1))
    local got
    got=$(complete_line "$@")
    if [ "$got" != "$want" ]; then
        echo "FAIL: veyla-cli ${*:2}<TAB>: got '$got', want '$want'"
        failures=$((failures + 1))
    fi
}

data="$bin/data"
mkdir -p "$data/藏书库/小说/西游记" "$data/藏书库/笔记" "$bin/books"
: >"$data/藏书库/小说/西游记/0001_第一回.xml"
: >"$data/藏书库/小说/西游记/0002_第二回.xml"
: >"$bin/books/红楼梦.txt"

# Commands and options, as veyla-cli's help lists them.
expect 'annotate append audio blog cat catalogue import mine new pinyin publish search site speak split tree update-check voices' veyla-cli ''
expect 'import' veyla-cli im
expect '--data --help --version' veyla-cli --
expect '--apply-suggestion --help --ignore-case --into --no-punct --prefix --report --suffix' veyla-cli import --
expect '--apply-suggestion --dry-run --help --ignore-case --no-punct --prefix --suffix' veyla-cli split --dry-run --
expect '--chapters --device --for --help --rate --to --voice' veyla-cli --data "$data" speak --
expect '--books --help --mode' veyla-cli mine --
expect '--backwards --from --help' veyla-cli search --
expect '--english --help --open --page-size --whole' veyla-cli site --
# Library paths, relative to 藏书库, in the data folder of --data, --data= or $VEYLA_DATA_DIR.
expect '小说/ 笔记/' veyla-cli --data "$data" cat ''
expect '小说/西游记/' veyla-cli --data "$data" cat 小说/
expect '小说/西游记/0001_第一回.xml 小说/西游记/0002_第二回.xml' veyla-cli --data "$data" audio 小说/西游记/
expect '小说/西游记/0002_第二回.xml' veyla-cli --data = "$data" cat 小说/西游记/0002
expect '小说/' veyla-cli --data "$data" import --into 小
VEYLA_DATA_DIR="$data" expect '笔记/' veyla-cli tree 笔
# Files where files are meant; option values that are free text get nothing.
expect "$bin/books/红楼梦.txt" veyla-cli import "$bin/books/"
expect "$bin/books/红楼梦.txt" veyla-cli --data "$data" cat "$bin/books/红"
expect "$bin/books/红楼梦.txt" veyla-cli speak --to "$bin/books/"
expect '' veyla-cli split --prefix ''
expect "$bin/books" veyla-cli --data "$bin/bo"

# Every command of `veyla-cli --help`, and every option of its usage line, is offered.
commands=$(veyla-cli --help | sed -n '/^Commands:/,/^$/p' | awk 'NF && $1 != "Commands:" { print $1 }')
offered=" $(complete_line veyla-cli '') "
for command in $commands; do
    cases=$((cases + 1))
    if [[ $offered != *" $command "* ]]; then
        echo "FAIL: command $command of veyla-cli --help is not completed"
        failures=$((failures + 1))
    fi
    options=" $(complete_line veyla-cli "$command" --) "
    for option in $(veyla-cli "$command" --help | head -1 | grep -o -- '--[a-z][a-z0-9-]*'); do
        cases=$((cases + 1))
        if [[ $options != *" $option "* ]]; then
            echo "FAIL: option $option of veyla-cli $command is not completed"
            failures=$((failures + 1))
        fi
    done
done

# Voice names come from veyla-cli voices, when speech is there.
if veyla-cli voices >/dev/null 2>&1; then
    expect 'cmn cmn-Latn-pinyin' veyla-cli speak --voice cmn
fi

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
