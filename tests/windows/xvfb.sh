# Sourced: starts a virtual screen of its own and points DISPLAY at it.
# Xvfb picks a free display number itself and tells it once it takes
# connections, so two runs side by side never reach for the same one.
# Sets xvfb_pid (empty when Xvfb did not start) and returns 1 then.
start_xvfb() {
  local told
  told=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$told" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$told" ] && break
    sleep 0.1
  done
  local n
  n=$(head -n 1 "$told")
  rm -f "$told"
  if [ -z "$n" ]; then
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    return 1
  fi
  export DISPLAY=":$n"
}
