# Sets the HTTP proxy of the maker's shared registry key for one test run and
# puts the key back as it was afterwards.  Sourced by the end-to-end scripts;
# needs WINEPREFIX and a folder for the saved key.  Setting it again keeps
# the key as it was before the first setting.
#   shared_proxy_set FOLDER HOST PORT     shared_proxy_restore
# shellcheck shell=bash
shared_proxy_key='HKLM\Software\VELMARON\Common'
shared_proxy_saved=""

shared_proxy_set() {
  local folder=$1 host=$2 port=$3
  if [ -z "$shared_proxy_saved" ]; then
    shared_proxy_saved=Z:${folder//\//\\}\\shared-before.reg
    wine reg export "$shared_proxy_key" "$shared_proxy_saved" /y >/dev/null 2>&1 || shared_proxy_saved=none
  fi
  wine reg add "$shared_proxy_key" /v proxy /d "$host" /f >/dev/null &&
    wine reg add "$shared_proxy_key" /v port /d "$port" /f >/dev/null
}

shared_proxy_restore() {
  [ -n "$shared_proxy_saved" ] || return 0
  wine reg delete "$shared_proxy_key" /f >/dev/null 2>&1
  [ "$shared_proxy_saved" = none ] || wine reg import "$shared_proxy_saved" >/dev/null 2>&1
  shared_proxy_saved=""
}
