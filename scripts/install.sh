#!/usr/bin/env bash
# Installs a finished build for the current user:
#   VST3 bundle   -> ~/.vst3/KORVANE Tarvik 4.1.vst3
#   LV2 bundle    -> ~/.lv2/KORVANE Tarvik 4.1.lv2
#   standalone    -> PREFIX/bin/korvane-tarvik
#   renderer      -> PREFIX/bin/tarvik-render
# PREFIX defaults to ~/.local, whose bin/ most desktops put on the PATH. Build first
# (bash scripts/build.sh); TARVIK_BUILD_DIR names another build folder. Running it again
# updates an install: each bundle is replaced whole. Nothing is installed unless every
# part was built.
set -euo pipefail

usage() {
  echo "usage: bash scripts/install.sh [PREFIX]   (default PREFIX: ~/.local)" >&2
  exit "${1:-2}"
}
case "${1:-}" in -h|--help) usage 0 ;; esac
[ $# -le 1 ] || usage
[ -n "${HOME:-}" ] || { echo "install.sh: HOME is not set" >&2; exit 1; }

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TARVIK_BUILD_DIR:-$root/build}"
prefix="${1:-$HOME/.local}"
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac

name="KORVANE Tarvik 4.1"
artefacts="$build/KorvaneTarvik_artefacts/Release"
vst3="$artefacts/VST3/$name.vst3"
lv2="$artefacts/LV2/$name.lv2"
standalone="$artefacts/Standalone/$name"
render="$build/tarvik-render_artefacts/Release/tarvik-render"

missing=0
for bundle in "$vst3" "$lv2"; do
  [ -d "$bundle" ] || { echo "install.sh: not built: '$bundle'" >&2; missing=1; }
done
for program in "$standalone" "$render"; do
  [ -f "$program" ] && [ -x "$program" ] || { echo "install.sh: not built: '$program'" >&2; missing=1; }
done
if [ "$missing" -ne 0 ]; then
  echo "install.sh: build first (bash scripts/build.sh); nothing was installed" >&2
  exit 1
fi

# Each part is copied beside its destination under a hidden name and then renamed into place, so
# an interrupted install never leaves half a bundle or half a program where the host looks.
staging=""
trap '[ -z "$staging" ] || rm -rf "$staging"' EXIT

install_bundle() { # SOURCE FOLDER
  local source="$1" folder="$2" target
  target="$folder/$(basename "$source")"
  mkdir -p "$folder"
  staging="$(mktemp -d "$folder/.tarvik-install.XXXXXX")"
  cp -R "$source" "$staging/bundle"
  rm -rf "$target"
  mv "$staging/bundle" "$target"
  rmdir "$staging"
  staging=""
  echo "installed $target"
}

install_program() { # SOURCE TARGET
  local source="$1" target="$2"
  mkdir -p "$(dirname "$target")"
  staging="$(mktemp "$(dirname "$target")/.tarvik-install.XXXXXX")"
  cp "$source" "$staging"
  chmod 755 "$staging"
  mv -f "$staging" "$target"
  staging=""
  echo "installed $target"
}

install_bundle "$vst3" "$HOME/.vst3"
install_bundle "$lv2" "$HOME/.lv2"
install_program "$standalone" "$prefix/bin/korvane-tarvik"
install_program "$render" "$prefix/bin/tarvik-render"

case ":${PATH:-}:" in
  *":$prefix/bin:"*) ;;
  *) echo "note: $prefix/bin is not on your PATH; add it to run korvane-tarvik and tarvik-render by name" ;;
esac
