# Sourced: start_own_display starts a private Xvfb display and exports DISPLAY
# for this shell and what it starts; `own_display_pid` holds the display's
# process id for the caller to end it. Every Wine command that belongs to a
# run must meet the display its program draws on: a Wine started without one
# (or on another) leaves its prefix a desktop that has no driver, or watches
# the other display's clipboard, for as long as its server lives, and a
# program started in that time draws no window or never sees an X copy.
start_own_display() {
  local fifo display_number=""
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  # Descriptors 8 and 9 are the callers' locks: the display must not hold them.
  Xvfb -displayfd 5 -nolisten tcp -screen 0 1280x1024x24 5>"$fifo" >/dev/null 2>&1 8>&- 9>&- &
  own_display_pid=$!
  read -r -t 60 display_number < "$fifo" || true
  rm -f "$fifo"
  if [ -z "$display_number" ]; then
    echo "Xvfb gave no display within 60 s" >&2
    return 1
  fi
  export DISPLAY=":$display_number"
}
