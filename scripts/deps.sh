#!/usr/bin/env bash
# Installs the Debian packages a task needs: run, test, fuzz, bench or package.
# As root it installs what is missing; otherwise it prints the one command to run.
# With --print after the task it prints the task's packages, one a line.
set -euo pipefail

# What the programs are built from: debian/control's Build-Depends name the same
# packages (the package_metadata test checks that they agree).
build=(cmake pkg-config qtbase5-dev libqt5svg5-dev libglew-dev libglu1-mesa-dev libpng-dev
       libxcb1-dev)
base=(make g++ "${build[@]}" qt5-style-plugins libgl1-mesa-dri fonts-dejavu-core xvfb xauth)
case "${1:-run}" in
  run) wanted=("${base[@]}") ;;
  # weston (its headless backend and screenshooter) and Wayland platform plugins; Qt 6 and
  # clang for the second build, clang's sanitizer runtime for the third; the install test validates the desktop entry, builds a MIME
  # database and formats the manuals; SVG and PDF sheets are rasterised to check them;
  # the pen import tests read Debian's Hershey fonts; the autopkgtest's steps grab
  # the viewer's frame with xwd; the AppStream metadata is validated; hp2xx reads
  # back the HPGL that write makes; a script checks the include arrows.
  test) wanted=("${base[@]}" clang libclang-rt-14-dev weston qtwayland5 qt6-base-dev libqt6opengl6-dev qt6-svg-dev
                qt6-wayland desktop-file-utils shared-mime-info man-db librsvg2-bin
                poppler-utils hershey-fonts-data x11-apps appstream hp2xx python3) ;;
  fuzz) wanted=("${base[@]}" clang libclang-rt-14-dev) ;;
  # matplotlib draws the same sheet as render's SVG and PDF, for their rows; the pen
  # import rows read Debian's Hershey fonts, with svgelements for the Python comparison;
  # the write rows run against hershey-font-gnuplot.
  bench) wanted=("${base[@]}" libbenchmark-dev time python3-matplotlib hershey-fonts-data
                 python3-svgelements hershey-font-gnuplot) ;;
  # dpkg-buildpackage with debhelper, and the build dependencies it checks for
  # (build-essential among them).
  package) wanted=(build-essential debhelper "${build[@]}") ;;
  *) echo "deps.sh: unknown task '$1' (run, test, fuzz, bench or package)" >&2; exit 2 ;;
esac
if [[ ${2:-} == --print ]]; then
  printf '%s\n' "${wanted[@]}"
  exit 0
fi

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
