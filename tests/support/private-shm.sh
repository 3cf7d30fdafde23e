#!/bin/sh
# Runs a test program with a /dev/shm of its own (a private mount namespace), then the program.
# JACK keeps its shared-memory registry, sockets and metadata database there; a JACK client killed
# in the middle of a write (a crashed or timed-out test) leaves that database truncated, and from
# then on every JACK client on the machine dies with SIGBUS. With a private /dev/shm a test neither
# sees such damage nor leaves it behind. Where namespaces are not allowed, the program runs as is.
if [ -z "${KORV_PRIVATE_SHM:-}" ]; then
    if [ "$(id -u)" -eq 0 ]; then ns="--mount"; else ns="--map-root-user --mount"; fi
    # shellcheck disable=SC2086
    if unshare $ns true 2>/dev/null; then
        export KORV_PRIVATE_SHM=1
        exec unshare $ns sh -c '{ mount -t tmpfs -o mode=1777 korvshm /dev/shm || true; } && exec "$0" "$@"' "$@"
    fi
fi
exec "$@"
