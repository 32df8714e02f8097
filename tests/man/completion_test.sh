#!/usr/bin/env bash
# The bash completion of sequaflow-cli against the tool's own --help: the commands it offers are the ones
# --help lists, each command's options are offered after it, and a few lines complete as a user expects.
# Usage: completion_test.sh COMPLETION_FILE SEQUAFLOW_CLI
set -u
completion=$1
cli=$2
failures=0
checks=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# shellcheck source=/dev/null
source "$completion" || { echo "cannot source $completion" >&2; exit 1; }
complete -p sequaflow-cli >/dev/null 2>&1 || fail "no completion registered for sequaflow-cli"

# The words bash would hand over for a line typed up to its end ('=' is a word of its own, as
# COMP_WORDBREAKS has it); then the function's answer, sorted, one line.
complete_line() {
    local line=$1
    COMP_LINE=$line
    COMP_POINT=${#line}
    read -ra COMP_WORDS <<<"${line//=/ = }"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _sequaflow_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {  # expect LINE WANTED: the completion of LINE is exactly WANTED (sorted words)
    checks=$((checks + 1))
    local got wanted
    got=$(complete_line "$1")
    wanted=$(printf '%s\n' $2 | sort | tr '\n' ' ' | sed 's/ $//')
    [[ $got == "$wanted" ]] || fail "[$1] offers '$got', expected '$wanted'"
}

expect_has() {  # expect_has LINE WORD...: each WORD is among what LINE offers
    local line=$1 got word
    shift
    got=" $(complete_line "$line") "
    for word in "$@"; do
        checks=$((checks + 1))
        [[ $got == *" $word "* ]] || fail "[$line] does not offer $word (offers:$got)"
    done
}

expect_lacks() {  # expect_lacks LINE WORD...: no WORD is among what LINE offers
    local line=$1 got word
    shift
    got=" $(complete_line "$line") "
    for word in "$@"; do
        checks=$((checks + 1))
        [[ $got != *" $word "* ]] || fail "[$line] offers $word"
    done
}

help=$("$cli" --help) || { echo "$cli --help failed" >&2; exit 1; }

# The commands and their own lines from --help: two spaces, a name, up to the first empty line.
commands=()
declare -A usage
in_commands=0
while IFS= read -r line; do
    if ((in_commands == 0)); then
        [[ $line == "Commands:" ]] && in_commands=1
        continue
    fi
    [[ -z $line ]] && break
    [[ $line =~ ^\ \ ([a-z][a-z-]*)(.*)$ ]] || continue
    commands+=("${BASH_REMATCH[1]}")
    usage[${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}
done <<<"$help"
((${#commands[@]} >= 10)) || fail "found only ${#commands[@]} commands in --help"

# Every command and nothing else, where the command goes.
expect "sequaflow-cli " "${commands[*]}"
expect "sequaflow-cli --com 2 " "${commands[*]}"
expect "sequaflow-cli --map COM2=/dev/null --com 2 " "${commands[*]}"

# The global options: those in --help's "Global options" block.
globals=$(sed -n '/^Global options:/,/^$/p' <<<"$help" | grep -o -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' ')
expect "sequaflow-cli --" "$globals"
expect "sequaflow-cli --c" "--com"

# Each command's options from its --help line, after the command or after its first word when the line
# has alternatives ("show [--json] | set ...").
for command in "${commands[@]}"; do
    IFS='|' read -ra alternatives <<<"$(sed 's/ | /|/g' <<<"${usage[$command]}")"
    for alternative in "${alternatives[@]}"; do
        options=$(grep -o -- '--[a-z][a-z-]*' <<<"$alternative" | tr '\n' ' ')
        [[ -z $options ]] && continue
        verb=$(awk '{print $1}' <<<"$alternative")
        if [[ $verb =~ ^[a-z]+$ ]]; then
            expect_has "sequaflow-cli --com 1 $command $verb --" $options
        else
            expect_has "sequaflow-cli --com 1 $command --" $options
        fi
    done
done

# Lines a user types.
expect "sequaflow-cli --com " "$(echo {1..25})"
expect "sequaflow-cli --com 2" "2 20 21 22 23 24 25"
expect_has "sequaflow-cli --map CO" COM1= COM25=
expect "sequaflow-cli live --json -" "--count"
expect_lacks "sequaflow-cli live --csv --" --csv --json
expect "sequaflow-cli --device /dev/null param " "show set get"
expect "sequaflow-cli param set fuel_type " "--text"
expect "sequaflow-cli map " "show set step gradient mode"
expect "sequaflow-cli map set " "advanced standard"
expect "sequaflow-cli map mode " "none standard advanced"
expect "sequaflow-cli worktime reset " "petrol gas"
expect "sequaflow-cli errors " "--json clear"
expect "sequaflow-cli errors clear " ""
expect "sequaflow-cli points preset " "1 2 3 4"
expect "sequaflow-cli points set --ms 1,2 --" "--rpm"
expect "sequaflow-cli vehicle set --layout " "R V B W"
expect_has "sequaflow-cli vehicle set --make Fiat --" --registration --model --installer --date --layout \
    --cylinders --capacity --nozzle
expect_lacks "sequaflow-cli vehicle set --make Fiat --" --make --json

# Where a FILE goes, the names of files.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
touch "$scratch/settings.kst" "$scratch/other.kst" "$scratch/trace.log"
expect "sequaflow-cli --device $scratch/tr" "$scratch/trace.log"
expect "sequaflow-cli --trace $scratch/s" "$scratch/settings.kst"
expect "sequaflow-cli --map COM3=$scratch/o" "$scratch/other.kst"
expect "sequaflow-cli --com 1 load $scratch/s" "$scratch/settings.kst"
expect "sequaflow-cli --com 1 report --pdf $scratch/o" "$scratch/other.kst"
expect "sequaflow-cli diff $scratch/o" "$scratch/other.kst"
expect_has "sequaflow-cli diff c" controller
expect "sequaflow-cli --com 1 load $scratch/settings.kst --" "--force --no-backup"

echo "$checks checks, $failures failed"
((failures == 0))
