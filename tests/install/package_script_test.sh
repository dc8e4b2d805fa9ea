#!/usr/bin/env bash
# scripts/package-test.sh against stand-ins for the package tools, in a copy of the repository's
# layout: the machine's own packages are never touched. Each case sets what the tools answer and
# checks what the script says and does:
#   1. lintian finds nothing to report (prints nothing): the script goes on to the install.
#   2. dpkg-query knows the name but reports it not installed: the script goes on as well.
#   3. A step with no check of its own fails after the install (dpkg -L): the script names the
#      step, ends with failure, and the package is purged again.
#   4. lintian reports an error: the script fails, saying so.
#
#   package_script_test.sh SCRIPT
set -u
script=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-package-script.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$work/tree/scripts" "$work/tree/tests/browser" "$work/tree/build" "$work/bin"
cp "$script" "$work/tree/scripts/package-test.sh"
cat >"$work/tree/scripts/package.sh" <<'FAKE'
#!/usr/bin/env bash
touch build/tollvane_3.0.0_amd64.deb
echo build/tollvane_3.0.0_amd64.deb
FAKE
echo 'exit 0' >"$work/tree/tests/browser/run_with_xvfb.sh"
chmod +x "$work/tree/scripts/"*.sh

# The stand-ins log every call to $CALLS and answer as the case's variables say.
fake() {  # fake NAME BODY
    printf '#!/usr/bin/env bash\necho "%s $*" >>"$CALLS"\n%s\n' "$1" "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}
fake id 'echo 0'
fake dpkg-query 'if [ -n "${QUERY_STATE:-}" ]; then printf %s "$QUERY_STATE"; else exit 1; fi'
fake lintian 'printf "%b" "${LINTIAN_SAYS:-}"; exit "${LINTIAN_STATUS:-0}"'
fake dpkg-deb 'case " $* " in *" Depends "*) echo "libpulse0, fonts-wine";; *) echo 123;; esac'
fake apt-get 'case " $* " in *" install "*) exit "${INSTALL_STATUS:-0}";; esac; exit 0'
fake dpkg 'exit "${LIST_STATUS:-0}"'

run() {  # run: the script with the stand-ins first on the path; sets out and status
    : >"$work/calls"
    out=$(cd "$work/tree" && CALLS=$work/calls PATH="$work/bin:$PATH" \
          bash scripts/package-test.sh build 2>&1)
    status=$?
}

echo "== lintian reports nothing"
INSTALL_STATUS=1 run
echo "$out"
[ "$status" != 0 ] || fail "the script passed although the install failed"
grep -q 'FAIL: apt-get install failed' <<<"$out" || fail "the script stopped before the install"
grep -q 'lintian: no errors' <<<"$out" || fail "a clean lintian run was not reported"

echo "== the name is known but not installed"
QUERY_STATE=not-installed INSTALL_STATUS=1 run
grep -q 'FAIL: apt-get install failed' <<<"$out" ||
    { echo "$out"; fail "a package that is not installed was taken for an installed one"; }
QUERY_STATE=config-files run
grep -q 'on this machine already (config-files)' <<<"$out" ||
    { echo "$out"; fail "a package's leftover files were not noticed"; }

echo "== a step without a check of its own fails"
LIST_STATUS=2 run
echo "$out"
[ "$status" != 0 ] || fail "the script passed although dpkg -L failed"
grep -q '^FAIL: line [0-9]*: dpkg -L tollvane' <<<"$out" || fail "the failing step was not named"
grep -q '^apt-get purge' "$work/calls" || fail "the installed package was not purged"

echo "== lintian reports an error"
LINTIAN_SAYS='E: tollvane: bad-thing\n' LINTIAN_STATUS=1 run
grep -q 'FAIL: lintian reports errors' <<<"$out" || { echo "$out"; fail "lintian's error was let through"; }
grep -q '^apt-get' "$work/calls" && fail "the package was installed despite lintian's error"
echo PASS
