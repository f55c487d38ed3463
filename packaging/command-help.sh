#!/bin/sh
# Prints sections of a man page for help2man --include: the DESCRIPTION, with the program's
# list of commands kept as lines, and COMMANDS, each command the list names with what that
# command's own --help says.
#   command-help.sh PROGRAM
set -eu
program=$1
roff='
    function roff(text) {
        gsub(/\\/, "\\e", text)
        gsub(/-/, "\\-", text)
        sub(/^[.'\'']/, "\\\\\\&&", text)
        return text
    }'
echo "[=DESCRIPTION]"
"$program" --help 2>&1 | awk "$roff"'
    NR == 1 || (NR == 2 && /^$/) { next }
    /^  / { if (!listing) print ".nf"; listing = 1; sub(/^  /, ""); print roff($0); next }
    listing { print ".fi"; listing = 0 }
    /^$/ { print ".PP"; next }
    { print roff($0) }
    END { if (listing) print ".fi" }'
echo "[COMMANDS]"
"$program" --help 2>&1 |
    sed -n 's/^  \([a-z][a-z-]*\( [a-z][a-z-]*\)\{0,1\}\)\( .*\)\{0,1\}$/\1/p' |
    while read -r command; do
        # shellcheck disable=SC2086 # a command of two words is two arguments
        "$program" $command --help 2>&1 | awk "$roff"'
            NR == 1 { sub(/^usage: [^ ]+ /, ""); print ".SS \"" roff($0) "\""; next }
            /^  -/ {
                option = substr($0, 3)
                if (match(option, /  +/)) {
                    name = substr(option, 1, RSTART - 1); text = substr(option, RSTART + RLENGTH)
                } else {
                    name = option; text = ""
                }
                print ".TP"; print "\\fB" roff(name) "\\fR"; print roff(text); next
            }
            /^    +/ { sub(/^ +/, ""); print roff($0); next }
            NR == 2 && /^$/ { next }
            /^$/ { print ".PP"; next }
            { print roff($0) }'
    done
