#!/usr/bin/env bash
# Runs site.yml against SITES simulated voice servers with FORKS forks, twice (every tree sent, then
# every tree unchanged), and prints the time per site of each run.
#   ansible/scale.sh [SITES] [FORKS]        (50 and 10 by default)
# QAVO_CLI and QAVO_SIM name the programs (build/bin by default).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sites=${1:-50}
forks=${2:-10}
cli=${QAVO_CLI:-$here/../build/bin/qavo-cli}
sim=${QAVO_SIM:-$here/../build/bin/qavo-sim}
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/tmp"

for i in $(seq 1 "$sites"); do
    "$sim" --root "$work/site$i" --init-from "$here/../resources/server-example" --port 0 \
        --user admin --password scale >"$work/site$i.port" &
    pids+=($!)
done
{
    echo "voice_servers:"
    echo "  vars: {ansible_connection: local, ansible_python_interpreter: '{{ ansible_playbook_python }}',"
    echo "         qavo_user: admin, qavo_password: scale, qavo_cli: '$cli', welcome_announcement: 10}"
    echo "  hosts:"
    for i in $(seq 1 "$sites"); do
        until grep -q '^port ' "$work/site$i.port"; do sleep 0.1; done
        port=$(cut -d' ' -f2 "$work/site$i.port")
        echo "    site$i: {qavo_host: 127.0.0.1, qavo_port: $port, site_name: Site $i, reception_station: $((201 + i % 3))}"
    done
} >"$work/sites.yml"

export ANSIBLE_COLLECTIONS_PATH=$here HOME=$work/home TMPDIR=$work/tmp LC_ALL=C.UTF-8 LANG=C.UTF-8
export ANSIBLE_LOCAL_TEMP=$work/tmp ANSIBLE_NOCOLOR=1 QAVO_HISTORY_DIR=$work/history
for run in "first (every tree sent)" "second (every tree unchanged)"; do
    start=$(date +%s%N)
    if ! ansible-playbook -f "$forks" -i "$work/sites.yml" -e "qavo_render_dir=$work/rendered" \
        "$here/site.yml" >"$work/run.log" 2>&1; then
        cat "$work/run.log"
        exit 1
    fi
    ms=$((($(date +%s%N) - start) / 1000000))
    changed=$(grep -c 'changed=1 ' "$work/run.log" || true)
    echo "$run run: $sites sites, forks=$forks, changed=$changed, $((ms / 1000)).$(printf %03d $((ms % 1000))) s," \
        "$((ms / sites)) ms per site"
done
