# shellcheck shell=bash
# Small helpers shared by the CUPS test scripts (sourced by harness.sh).

# Ends the test with a message; \n in it breaks lines.
fail() {
    printf 'FAIL: %b\n' "$*" >&2
    exit 1
}
hex() { od -An -v -tx1 "$1" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }

# One field of the object whose KEYFIELD is KEYVALUE in pretty-printed JSON (one member a line,
# as kestrel-cli prints it); the value is printed as it stands in the JSON text, strings quoted.
json_field() {
    local file=$1 keyfield=$2 keyvalue=$3 field=$4
    awk -v kf="$keyfield" -v kv="\"$keyvalue\"" -v f="$field" '
        /^[ \t]*[{][ \t]*$/ { split("", member); next }
        /^[ \t]*"[^"]*": / {
            line = $0
            sub(/^[ \t]*"/, "", line)
            key = line
            sub(/".*/, "", key)
            value = line
            sub(/^[^"]*": /, "", value)
            sub(/,[ \t]*$/, "", value)
            member[key] = value
            next
        }
        /^[ \t]*[}],?[ \t]*$/ {
            if ((kf in member) && member[kf] == kv && (f in member)) { print member[f]; found = 1 }
            split("", member)
        }
        END { exit found ? 0 : 1 }' "$file"
}
# A text as a JSON string literal (the messages hold line breaks, no quotes or tabs).
json_string() {
    local s=${1//\\/\\\\}
    s=${s//\"/\\\"}
    printf '"%s"' "${s//$'\n'/\\n}"
}
