# Sourced by the install scripts. step <title> <command>...: prints
# "<step_name>: <title>", runs the command with its output appended to
# $step_log, and on failure shows the log's end and exits.
step() {
  local title=$1
  shift
  echo "$step_name: $title"
  if ! "$@" >>"$step_log" 2>&1; then
    echo "$step_name: '$title' failed; the last lines of $step_log:" >&2
    tail -n 30 "$step_log" >&2
    exit 1
  fi
}
