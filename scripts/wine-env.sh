# The environment every Wine run of the project shares, sourced by the scripts that start Wine:
# no debug chatter, and no offers to install Mono and Gecko.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
