# With a sanitized executable, reports go to files named "$QF_SANITIZER_LOG.<pid>"; pass fails
# the test when any such file exists.
if [ -n "${QF_SANITIZER_LOG:-}" ]; then
    rm -f "$QF_SANITIZER_LOG".*
    export ASAN_OPTIONS="detect_leaks=1:log_path=$QF_SANITIZER_LOG" UBSAN_OPTIONS="print_stacktrace=1:log_path=$QF_SANITIZER_LOG"
fi
pass() {
    if [ -n "${QF_SANITIZER_LOG:-}" ] && compgen -G "$QF_SANITIZER_LOG.*" > /dev/null; then
        cat "$QF_SANITIZER_LOG".*
        fail "sanitizer reports above"
    fi
    echo "PASS${1:+ ($1)}"
}
