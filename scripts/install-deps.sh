#!/usr/bin/env bash
# Installs the Debian packages Kivo needs to build, run and test. Idempotent and silent when
# everything is present. Usage: install-deps.sh [run|test|windows]
#   windows: the MinGW-w64 cross build (Kivo.exe) and Wine for its tests; test includes it.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev libxcb1-dev libxcb-screensaver0-dev libxcb-shape0-dev
  libjpeg62-turbo-dev
  fonts-liberation fonts-dejavu-core
)
windows_packages=(
  cmake make
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 # strip: the release sizes in make bench
  nasm dpkg-dev googletest
  wine wine64 wine32:i386 xvfb openbox locales fonts-liberation
)
deb_src=false
# shellcheck source=/dev/null
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case "${1:-run}" in
  run)
    packages+=(xvfb libxtst-dev imagemagick)
    ;;
  test)
    packages+=(libgtest-dev xvfb openbox libx11-dev libxext-dev libxtst-dev libjpeg-turbo-progs)
    packages+=(libxres-dev clang libclang-rt-14-dev)
    packages+=(zip unzip) # make dist
    packages+=("${windows_packages[@]}")
    deb_src=true
    ;;
  windows)
    packages=("${windows_packages[@]}")
    deb_src=true
    ;;
  *)
    echo "usage: $0 [run|test|windows]" >&2
    exit 2
    ;;
esac

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "Needs root: $*; run this script as root or install sudo." >&2
    exit 1
  fi
}

# apt-get update, tried once more while a mirror is caught mid-sync. A list that still cannot
# be fetched is reported, not fatal: apt keeps the lists it has, and what cannot be installed
# from them is reported where it is installed.
apt_update() {
  as_root apt-get update -qq && return 0
  sleep 15
  as_root apt-get update -qq && return 0
  echo "Some package lists could not be fetched; going on with the lists apt has" >&2
}

# The deb-src twin of the machine's own Debian entries, so that `apt-get source` works (the
# Windows build compiles libjpeg-turbo from Debian's source package). Prints nothing when
# there is nothing to add.
deb_src_entries() {
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # deb822: repeat every enabled stanza whose Types has deb but not deb-src.
    awk 'function flush() {
           if (stanza != "" && types ~ /(^| )deb( |$)/ && types !~ /deb-src/ && enabled != "no")
             printf "%sTypes: deb-src\n%s", (printed++ ? "\n" : ""), stanza
           stanza = ""; types = ""; enabled = ""
         }
         /^[ \t]*$/ { flush(); next }
         /^#/ { next }
         tolower($1) == "types:" { $1 = ""; types = substr($0, 2); next }
         tolower($1) == "enabled:" { enabled = tolower($2) }
         { stanza = stanza $0 "\n" }
         END { flush() }' /etc/apt/sources.list.d/debian.sources
  elif [ -f /etc/apt/sources.list ]; then
    # One-line format: the deb lines of this release's suites, unless their deb-src is there.
    awk -v codename="$codename" '
      $1 == "deb-src" { have[$0] = 1 }
      $1 == "deb" {
        suite = ($2 ~ /^\[/) ? "" : $3
        for (i = 2; i <= NF; i++) if ($i ~ /\]$/) { suite = $(i + 2); break }
        if (suite == codename || index(suite, codename "-") == 1) { sub(/^deb/, "deb-src"); want[++n] = $0 }
      }
      END { for (i = 1; i <= n; i++) if (!(want[i] in have)) print want[i] }' /etc/apt/sources.list
  fi
}

ensure_deb_src() {
  local entries target
  entries=$(deb_src_entries)
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    target=/etc/apt/sources.list.d/kivo-deb-src.sources
  else
    target=/etc/apt/sources.list.d/kivo-deb-src.list
  fi
  [ -n "$entries" ] || return 0
  if [ "$(cat "$target" 2>/dev/null)" = "$entries" ] && compgen -G '/var/lib/apt/lists/*_Sources*' >/dev/null; then
    return 0
  fi
  echo "Adding Debian's source entries: $target"
  printf '%s\n' "$entries" | as_root tee "$target" >/dev/null
  lists_stale=true
}

# Wine runs the Windows tests as a Russian Windows (code page 1251); without the locale on
# the Linux side it cannot name files in Cyrillic.
ensure_russian_locale() {
  locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$' && return 0
  echo "Generating the ru_RU.UTF-8 locale"
  if ! grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ru_RU.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >/dev/null
}

# wine32 (for the 32-bit Kivo.exe) is an i386 package: the architecture must be known to dpkg
# and to apt's lists before it can be installed.
ensure_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  echo "Enabling the i386 architecture (wine32)"
  as_root dpkg --add-architecture i386
  lists_stale=true
}

lists_stale=false
case " ${packages[*]} " in *:i386*) ensure_i386 ;; esac
! $deb_src || ensure_deb_src

# The backports twin of the machine's main Debian entry (only what is asked for by name comes
# from it). Prints nothing when there is no such entry.
backports_entry() {
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    awk -v codename="$codename" 'function flush() {
           if (!done && uris != "" && (" " suites " ") ~ (" " codename " ")) {
             printf "Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\n", uris, codename
             if (signed != "") printf "Signed-By: %s\n", signed
             done = 1
           }
           uris = ""; suites = ""; signed = ""
         }
         /^[ \t]*$/ { flush(); next }
         tolower($1) == "uris:" { $1 = ""; uris = substr($0, 2) }
         tolower($1) == "suites:" { $1 = ""; suites = substr($0, 2) }
         tolower($1) == "signed-by:" { $1 = ""; signed = substr($0, 2) }
         END { flush() }' /etc/apt/sources.list.d/debian.sources
  elif [ -f /etc/apt/sources.list ]; then
    awk -v codename="$codename" '$1 == "deb" && $3 == codename && !done {
        print "deb " $2 " " codename "-backports main"; done = 1 }' /etc/apt/sources.list
  fi
}

# Some kernels run 64-bit programs only (an i386 execve fails with ENOEXEC). There the 32-bit
# Wine runs through qemu's user-mode emulator, registered for i386 programs with binfmt_misc.
# Wine needs a qemu that honours MAP_FIXED_NOREPLACE: 8.0 or later, from backports.
ensure_i386_runs() {
  local wine32=/usr/lib/wine/wine binfmt=/proc/sys/fs/binfmt_misc
  [ -x "$wine32" ] || return 0
  "$wine32" --version >/dev/null 2>&1 && return 0
  local qemu=/usr/bin/qemu-i386-static version
  version=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
  if [ -z "$version" ] || dpkg --compare-versions "$version" lt 1:8.0; then
    echo "This kernel runs no 32-bit programs: installing qemu-user-static for wine32"
    local list
    list=$(backports_entry)
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      printf '%s\n' "$list" | as_root tee /etc/apt/sources.list.d/kivo-backports.sources >/dev/null
    else
      printf '%s\n' "$list" | as_root tee /etc/apt/sources.list.d/kivo-backports.list >/dev/null
    fi
    apt_update
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq -t "$codename-backports" \
      qemu-user-static >/dev/null
  fi
  [ -f "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ -f "$binfmt/kivo-i386" ]; then
    # Registered with an older qemu, which the kernel holds open.
    echo -1 | as_root tee "$binfmt/kivo-i386" >/dev/null
  fi
  # The ELF header of an i386 executable or shared object; F: the kernel opens qemu once, so
  # it serves in every mount namespace.
  printf '%s' ':kivo-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' |
    as_root tee "$binfmt/register" >/dev/null
  "$wine32" --version >/dev/null 2>&1 || { echo "wine32 does not run, even through $qemu" >&2; exit 1; }
}

# A mirror caught mid-sync can serve an i386 list that its Release does not vouch for; apt
# then leaves that suite's i386 packages out. A mirror also publishes each suite under its
# alias (the Release's Suite field, such as oldstable-security) and syncs that name on its
# own. When the alias is whole, its i386 packages are taken from it: apt still checks its
# signature and every file's hash, but not its age, since the alias can lag by weeks.
ensure_i386_lists() {
  local entry=/etc/apt/sources.list.d/kivo-i386-alias.sources stanzas="" uri release alias component
  # shellcheck disable=SC2016 # apt's own placeholders
  while read -r uri release alias component; do
    [ "$alias" != "$release" ] || continue
    apt-get indextargets --format '$(RELEASE)' 'Created-By: Packages' 'Architecture: i386' \
      "Repo-URI: $uri" "Component: $component" | grep -qx "$release" && continue
    echo "The i386 list of $release is not whole on this mirror; taking i386 packages from $alias"
    stanzas+="Types: deb"$'\n'"URIs: $uri"$'\n'"Suites: $alias"$'\n'"Components: $component"$'\n'
    stanzas+="Architectures: i386"$'\n'"Check-Valid-Until: no"$'\n\n'
  done < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(SUITE) $(COMPONENT)' \
    'Created-By: Packages' 'Architecture: amd64' | sort -u)
  [ -n "$stanzas" ] || return 0
  [ "$(cat "$entry" 2>/dev/null)" != "$(printf '%s' "$stanzas")" ] || return 0
  printf '%s' "$stanzas" | as_root tee "$entry" >/dev/null
  apt_update
}

# i386 libraries go in at the version of their installed amd64 twins (Multi-Arch: same).
# When the version apt would move an amd64 library to has no i386 build in the lists (the
# i386 lists lag behind), pin both to the newest version that both have and that is not
# older than the installed one. Prints an apt preferences file.
matched_version_pins() {
  local installed package current versions version
  installed=$(dpkg-query -W -f='${Package} ${Version} ${Multi-Arch} ${Architecture} ${db:Status-Status}\n' |
    awk '$3 == "same" && $4 == "amd64" && $5 == "installed" { print $1, $2 }')
  # shellcheck disable=SC2046 # one word per package
  apt-cache policy $(awk '{ print $1 ":amd64", $1 ":i386" }' <<<"$installed") 2>/dev/null |
    awk -v installed="$installed" '
      BEGIN { n = split(installed, lines, "\n"); for (i = 1; i <= n; i++) { split(lines[i], f, " "); have[f[1]] = f[2] } }
      /^[^ ]/ { name = $1; sub(/:$/, "", name); arch = sub(/:i386$/, "", name) ? "i386" : "amd64"; next }
      /^     [^ ]/ || /^ \*\*\* / { version = ($1 == "***") ? $2 : $1; next }
      /^        [0-9-]+ / && $2 != "/var/lib/dpkg/status" {
        if (arch == "i386") twin[name, version] = 1
        else if (!((name, version) in listed)) { listed[name, version] = 1; order[name] = order[name] " " version } }
      END { for (p in order) { split(order[p], v, " "); if ((p, v[1]) in twin) continue
              line = p " " have[p]; for (i = 1; v[i] != ""; i++) if ((p, v[i]) in twin) line = line " " v[i]
              print line } }' |
    while read -r package current versions; do
      for version in $versions; do
        dpkg --compare-versions "$version" ge "$current" || continue
        printf 'Package: %s %s:i386\nPin: version %s\nPin-Priority: 1001\n\n' "$package" "$package" "$version"
        break
      done
    done
}

# The i386 packages (wine32) go in on their own: when a mirror cannot serve them, everything
# else still installs, and only the 32-bit build's runs are left out, loudly.
native=()
foreign=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" != installed ] || continue
  case "$package" in
    *:i386) foreign+=("$package") ;;
    *) native+=("$package") ;;
  esac
done
export DEBIAN_FRONTEND=noninteractive
missing=("${native[@]}" "${foreign[@]}")
[ ${#missing[@]} -eq 0 ] || echo "Installing: ${missing[*]}"
if [ ${#missing[@]} -gt 0 ] || $lists_stale; then
  apt_update
fi
[ ${#native[@]} -eq 0 ] || as_root apt-get install -y -qq "${native[@]}" >/dev/null
if [ ${#foreign[@]} -gt 0 ]; then
  ensure_i386_lists
  pins=$(mktemp)
  matched_version_pins >"$pins"
  if ! as_root apt-get install -y -qq -o Dir::Etc::Preferences="$pins" "${foreign[@]}" >/dev/null; then
    echo "WARNING: ${foreign[*]} could not be installed from this machine's package lists;" \
      "the 32-bit Kivo.exe is built but its tests cannot run here" >&2
  fi
  rm -f "$pins"
fi
if $deb_src; then
  ensure_russian_locale
  ensure_i386_runs
fi
