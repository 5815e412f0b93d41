#!/usr/bin/env bash
# check-orphans.sh BUILD_DIR: fails, naming them, when programs of BUILD_DIR
# (kz7305-sim, kz7305evm-cli, KZ7305EVM) are still running with their parent
# gone (taken over by PID 1): a test started them and did not end them. They
# are ended here, by their PIDs, so one run does not spoil the next.
set -uo pipefail
build=$(realpath "$1")
orphans=()
for status in /proc/[0-9]*/stat; do
  pid=${status#/proc/}
  pid=${pid%/stat}
  exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
  case "$(basename "$exe")" in
    kz7305-sim | kz7305evm-cli | KZ7305EVM) ;;
    *) continue ;;
  esac
  [[ $exe == "$build"/* ]] || continue
  # Field 4 of stat, read after the command name's closing parenthesis.
  stat=$(cat "$status" 2>/dev/null) || continue
  read -r _ ppid _ <<< "${stat##*) }"
  [ "$ppid" = 1 ] && orphans+=("$pid")
done
[ ${#orphans[@]} -eq 0 ] && exit 0
for pid in "${orphans[@]}"; do
  echo "left running by a test: PID $pid $(tr '\0' ' ' < "/proc/$pid/cmdline" 2>/dev/null)" >&2
  kill "$pid" 2>/dev/null
done
exit 1
