# Sourced by the scripts that start a private server for the tests.
#
# await_server PID CHECK...: waits up to 10 s for the server PID to pass the check (a command and its
# arguments). True once it does; false when the server ended or never passed, after stopping it, so
# that the caller can try other ports.
await_server() {
  local server="$1"
  shift
  for _ in $(seq 100); do
    if "$@"; then return 0; fi
    if ! kill -0 "$server" 2>/dev/null; then break; fi
    sleep 0.1
  done
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  return 1
}
