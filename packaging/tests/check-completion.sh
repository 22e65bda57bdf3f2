#!/bin/bash
# Runs the bash completion on command lines typed up to the cursor, as bash runs it on Tab, and
# checks what it offers.
# Usage: check-completion.sh <completion script> <program>
set -eu
export LC_ALL=C
script=$1 program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch 'values file.json' values.txt

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# What the completion offers for the words given, the last being the one under the cursor, one a
# line.
offers() {
    bash -c 'source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _brindlewick;
             printf "%s\n" "${COMPREPLY[@]}"' "$script" "$@"
}

expect() {
    expected=$1
    shift
    actual=$(offers "$@")
    [ "$actual" = "$expected" ] || fail "$* offers '$actual', not '$expected'"
}

expect generate brindlewick gen
expect --version brindlewick --vers
expect '' brindlewick -style ''
expect --project-b-data-source-type brindlewick generate --project-b-d
expect --values brindlewick generate --template values.txt --va
expect "$(printf 'values file.json\nvalues.txt')" brindlewick generate --values val
expect '' brindlewick generate --project-a-name val
expect '' brindlewick --help --pro

# Every option --help lists for generate is offered, and no other.
listed=$("$program" --help | sed -n '/^Options/,/^$/s/^  \(-., \|    \)\(--[a-z-]*\).*/\2/p' | sort)
offered=$(offers brindlewick generate -- | sort)
[ "$offered" = "$listed" ] || fail "generate offers: $offered; --help lists: $listed"

registered=$(bash -c 'source "$0"; complete -p brindlewick' "$script")
[ "$registered" = "complete -o filenames -F _brindlewick brindlewick" ] ||
    fail "registered as: $registered"
echo "the completion offers what --help lists"
