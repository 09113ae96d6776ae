#!/usr/bin/env bash
# Makes a Wine prefix for the tests, unless PREFIX already holds one.
#   wine-prefix.sh PREFIX
# Booting a prefix (wineboot) takes about 20 s, so it happens once per build
# folder: the first prefix asked for is booted as a template
# (PAYLODE_WINE_TEMPLATE, default build/wineprefix-template in the source
# tree), with its server stopped, and every prefix is a copy of it (about a
# second). The template is booted again when the installed Wine
# changes, or the settings below do (template_settings). Windows of every
# copy are unmanaged by the X server: without a window manager (Xvfb has
# none) Wine waits two seconds for one whenever a window is hidden, which
# made every message box and dialog cost seconds. Wine's save-file dialog
# remembers each program's last folder under ComDlg32\LastVisitedMRU and
# leaves that registry key open every time a file is chosen (one handle per
# save, measured in Wine 8.0; Windows closes it): with its MRUList value of
# another type than text, the dialog remembers nothing and opens nothing, so
# a program that saves all day keeps its handles.
#
# Callers that may run at once (parallel tests) hold a lock on PREFIX; the
# template has a lock of its own. Lock descriptors are closed for every Wine
# process, since a wine server holding a lock would make every later caller
# wait for it forever.
set -uo pipefail
prefix=$1
[ -f "$prefix/system.reg" ] && exit 0

template=${PAYLODE_WINE_TEMPLATE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix-template}
export WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
template_settings="unmanaged windows, no last-folder list, Wine's own fonts"
version="$(wine --version 2>/dev/null); $template_settings"
mkdir -p "$(dirname "$template")"
(
  flock 8
  if [ "$(cat "$template/.wine-version" 2>/dev/null)" != "$version" ]; then
    rm -rf "$template"
    export WINEPREFIX=$template
    { wineboot -i &&
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
        wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32\LastVisitedMRU' \
          /v MRUList /t REG_DWORD /d 0 /f &&
        wineserver -k; wineserver -w; } </dev/null >/dev/null 2>&1 8>&- || true
    # This Wine looks for its own fonts (Tahoma, Marlett for the caption
    # buttons' glyphs, ...) only in the prefix's Fonts folder and through
    # fontconfig, not where the Wine fonts package puts them: without them
    # a window's close button shows Marlett's letter "r".
    if [ -d "$template/drive_c/windows/Fonts" ]; then
      cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/" 2>/dev/null
    fi
    if [ ! -f "$template/system.reg" ]; then
      echo "wine-prefix.sh: wineboot made no prefix in $template" >&2
      exit 1
    fi
    echo "$version" >"$template/.wine-version"
  fi
) 8>"$template.lock" || exit 1

if [ -n "$(ls -A "$prefix" 2>/dev/null)" ]; then
  echo "wine-prefix.sh: $prefix is not empty and holds no Wine prefix" >&2
  exit 1
fi
rm -rf "$prefix" "$prefix.copy"
mkdir -p "$(dirname "$prefix")"
# The system's programs, libraries and fonts (1.3 GB of a booted prefix's
# 1.3 GB) are hard links to the template's, which no test writes: a dozen
# prefixes at once in a test run would otherwise fill a small disk. Every
# other file (the registry, ini files, locale tables) is a copy of its own,
# since Wine rewrites those in place. Across file systems, all is copied.
copy_template() {
  local copy=$1
  local binaries=(\( -iname '*.dll' -o -iname '*.exe' -o -iname '*.sys' -o -iname '*.drv' -o -iname '*.ocx'
    -o -iname '*.acm' -o -iname '*.cpl' -o -iname '*.tlb' -o -iname '*.ttf' \))
  copy_binaries() {
    (cd "$template" && find . -type f "${binaries[@]}" -print0 | xargs -0 cp "$@" --parents -t "$copy")
  }
  # Nothing here may touch a template file that another copy reads: tar
  # fails on a file whose inode changes while it reads it.
  mkdir -p "$copy" &&
    (cd "$template" && find . \( ! -type f -o ! "${binaries[@]}" \) -print0 |
      tar --null --no-recursion -T - -cf -) | tar -C "$copy" -xpf - &&
    { copy_binaries -l 2>/dev/null || copy_binaries -p --remove-destination; }
}
copy_template "$prefix.copy" && rm -f "$prefix.copy/.wine-version" && mv "$prefix.copy" "$prefix"
