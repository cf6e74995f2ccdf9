#!/usr/bin/env bash
# A one-node Slurm cluster on this machine, for the tests and for trying the
# engine's launcher: munge, slurmctld and slurmd from Debian's packages, run
# as root, with every file (configuration, munge key and socket, state,
# spool, logs, job completion log) under one folder.
#
#   scripts/local-slurm.sh start [folder]    starts it; prints the environment
#   scripts/local-slurm.sh stop [folder]     stops its daemons
#   scripts/local-slurm.sh status [folder]   tells whether it answers
#
# folder: default /tmp/kerv-slurm (or KERV_SLURM_DIR). start prints
# "export SLURM_CONF=<folder>/slurm.conf" on standard output and nothing else,
# so `eval "$(scripts/local-slurm.sh start)"` sets it up; the job completion
# log is <folder>/log/jobcomp.log. The node has this machine's CPUs
# (KERV_SLURM_CPUS overrides). Installs slurm-wlm and munge when they are
# missing and it runs as root. Ports: KERV_SLURM_PORT (controller, default
# 16817) and the next one (node daemon). Exit status 3: not root, or the
# packages are missing and cannot be installed.
set -euo pipefail

action=${1:-}
folder=${2:-${KERV_SLURM_DIR:-/tmp/kerv-slurm}}
conf=$folder/slurm.conf
port=${KERV_SLURM_PORT:-16817}

say() { echo "local-slurm: $*" >&2; }
fail() {
    say "$*"
    exit 1
}

# Stops the daemon whose pid file is given, waiting for it to go.
stop_daemon() {
    local pidfile=$1 pid
    [ -s "$pidfile" ] || return 0
    pid=$(cat "$pidfile")
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
    fi
    rm -f "$pidfile"
}

install_packages() {
    local missing=()
    for p in slurm-wlm munge; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        say "missing packages (install them as root): ${missing[*]}"
        exit 3
    fi
    say "installing ${missing[*]}"
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >"$folder/log/apt.log" 2>&1; then
        say "installing ${missing[*]} failed; see $folder/log/apt.log"
        exit 3
    fi
}

write_config() {
    local host cpus
    host=$(hostname -s)
    cpus=${KERV_SLURM_CPUS:-$(nproc)}
    cat >"$conf" <<CONF
ClusterName=kerv-local
SlurmctldHost=$host
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$folder/munge/munge.socket
StateSaveLocation=$folder/state
SlurmdSpoolDir=$folder/spool
SlurmctldPidFile=$folder/slurmctld.pid
SlurmdPidFile=$folder/slurmd.pid
SlurmctldLogFile=$folder/log/slurmctld.log
SlurmdLogFile=$folder/log/slurmd.log
ProctrackType=proctrack/pgid
TaskPlugin=task/none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
JobCompType=jobcomp/filetxt
JobCompLoc=$folder/log/jobcomp.log
JobAcctGatherType=jobacct_gather/none
MpiDefault=none
ReturnToService=2
MailProg=/bin/true
NodeName=$host CPUs=$cpus State=UNKNOWN
PartitionName=local Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
}

start_munge() {
    local key=$folder/munge/munge.key
    [ -s "$key" ] || { dd if=/dev/urandom of="$key" bs=1024 count=1 2>/dev/null && chmod 400 "$key"; }
    munged --force --key-file="$key" --socket="$folder/munge/munge.socket" --pid-file="$folder/munge/munged.pid" \
        --log-file="$folder/log/munged.log" --seed-file="$folder/munge/munge.seed" ||
        fail "munged did not start; see $folder/log/munged.log"
}

answers() { SLURM_CONF=$conf sinfo --noheader --responding -o '%T' 2>/dev/null | grep -qE '^(idle|mixed|allocated)'; }

start() {
    if [ "$(id -u)" -ne 0 ]; then
        say "runs the daemons as root; run it as root"
        exit 3
    fi
    mkdir -p "$folder"/{munge,state,spool,log}
    chmod 700 "$folder/munge"
    install_packages
    stop_all
    write_config
    start_munge
    slurmctld -f "$conf" || fail "slurmctld did not start; see $folder/log/slurmctld.log"
    slurmd -f "$conf" || fail "slurmd did not start; see $folder/log/slurmd.log"
    for _ in $(seq 150); do
        if answers; then
            echo "export SLURM_CONF=$conf"
            return 0
        fi
        sleep 0.2
    done
    fail "the node did not become ready in 30 s; see $folder/log/"
}

stop_all() {
    stop_daemon "$folder/slurmd.pid"
    stop_daemon "$folder/slurmctld.pid"
    stop_daemon "$folder/munge/munged.pid"
}

case "$action" in
start) start ;;
stop) stop_all ;;
status)
    if answers; then
        echo "running: export SLURM_CONF=$conf"
    else
        echo "not running ($folder)"
        exit 1
    fi
    ;;
*)
    echo "usage: $0 start|stop|status [folder]" >&2
    exit 2
    ;;
esac
