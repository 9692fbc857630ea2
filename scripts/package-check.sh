#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks it with lintian (errors fail), installs
# it with apt-get, checks the installed programs, manual page, bash completion and help guide,
# and removes the package again. Needs root (as in CI).
#
#   scripts/package-check.sh [BUILD_DIR]      (default build-test)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}

echo "== Debian package"
rm -f "$build"/kestrel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/kestrel_*.deb)
echo "$deb"

echo "== lintian"
# Errors fail the run; warnings are shown.
lintian_status=0
lintian --fail-on error --info "$deb" >"$build/lintian.txt" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$build/lintian.txt" || echo "no errors, no warnings"
[ "$lintian_status" -eq 0 ]

echo "== install"
# apt-get wants a path with a slash to take a file rather than a package name.
trap 'echo "== remove"; apt-get remove -y -qq kestrel >/dev/null' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null

[[ $(/usr/bin/kestrel-cli --version) == "kestrel-cli "* ]]
/usr/bin/kestrel --help | grep -q '^Usage: kestrel '
man -w kestrel-cli
man -w kestrel
desktop-file-validate /usr/share/applications/kestrel.desktop

# Bash completion as the shell runs it: "kestrel-cli lo" and Tab.
completion=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    source /usr/share/bash-completion/completions/kestrel-cli
    COMP_LINE="kestrel-cli lo" COMP_POINT=${#COMP_LINE}
    COMP_WORDS=(kestrel-cli lo) COMP_CWORD=1
    _kestrel_cli kestrel-cli lo kestrel-cli
    echo "${COMPREPLY[*]}"')
echo "kestrel-cli lo -> $completion"
[[ $completion == logo ]]

/usr/bin/python3 scripts/check-help-links.py /usr/share/kestrel/help
echo "Package checks passed."
