# Debian packages the project needs, installed only when missing. Sourced by test.sh and play.sh.

VDMQ_BUILD_PACKAGES="cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev zlib1g-dev libbz2-dev libzstd-dev liblz4-dev libfreetype-dev libpng-dev
  fonts-ipafont-gothic"
# The game's own window, sound and movies (the SDL back end), and the virtual display, input and
# screenshot tools of the smoke runs of the real program.
VDMQ_MEDIA_PACKAGES="libsdl2-dev libsdl2-mixer-dev libavformat-dev libavcodec-dev libswscale-dev
  libswresample-dev xvfb xauth xdotool x11-apps x11-utils openbox wmctrl"

vdmq_install_deps() {
  local missing=()
  local p
  for p in $VDMQ_BUILD_PACKAGES $VDMQ_MEDIA_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
  fi
}
