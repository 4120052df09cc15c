# Bash completion for tk358 and tk358d: options, COMn names, panel kinds,
# files and groups. Installed once under each program's name; bash-completion loads it
# on the first Tab after either name.

# COMn names: the links in the port directory (the same directory the
# programs use) and the serial devices of the fixed table that exist.
_tk358_ports() {
    local dir=${TK358_PORT_DIR:-}
    if [[ -z $dir ]]; then
        if [[ -n ${XDG_RUNTIME_DIR:-} ]]; then
            dir=$XDG_RUNTIME_DIR/tk358/ports
        else
            dir=/tmp/tk358-$(id -u)/ports
        fi
    fi
    local path name
    for path in "$dir"/COM*; do
        name=${path##*/}
        [[ -L $path && $name =~ ^COM[0-9]+$ ]] && printf '%s\n' "$name"
    done
    local base first n
    for base in ttyS:1 ttyUSB:33 ttyACM:65 ttyAMA:97; do
        first=${base#*:}
        for path in /dev/"${base%:*}"[0-9]*; do
            n=${path#/dev/"${base%:*}"}
            [[ -c $path && $n =~ ^[0-9]+$ && $n -lt 32 ]] && printf 'COM%d\n' $((first + n))
        done
    done
}

# Offers `words` (one per line) for the current word.
_tk358_offer() {
    mapfile -t COMPREPLY < <(compgen -W "$1" -- "$2")
}

# Offers files, or only those ending in one of the `suffixes` (and folders).
_tk358_files() {
    local cur=$1 suffix
    shift
    compopt -o filenames 2>/dev/null
    if [[ $# -gt 0 ]]; then
        mapfile -t COMPREPLY < <(
            compgen -d -- "$cur"
            for suffix; do compgen -f -X "!*$suffix" -- "$cur"; done
        )
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

# Sets the caller's cur, prev, words and cword; "--option=value" counts as
# "--option" "value". bash-completion's _init_completion -s does it where it
# is loaded; otherwise from the words as bash splits them, "=" being one.
_tk358_words() {
    if declare -F _init_completion >/dev/null; then
        _init_completion -s
        return
    fi
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
    cur=${words[cword]}
    prev=${words[cword - 1]:-}
    if [[ $cur == = && $prev == --* ]]; then
        cur=
    elif [[ $prev == = && $cword -ge 2 ]]; then
        prev=${words[cword - 2]}
    fi
}

_tk358() {
    local cur prev words cword split
    _tk358_words || return
    local before=${words[cword - 2]:-}
    case $prev in
        --demo) _tk358_offer $'0\n1\n2\n3\n4' "$cur"; return ;;
        --backup | --compare | --restore) _tk358_offer "$(_tk358_ports)" "$cur"; return ;;
        -o | --output) _tk358_files "$cur" .png .svg; return ;;
        --from | --to | --size) return ;;
    esac
    if [[ $cur != -* && $before =~ ^--(backup|compare|restore)$ ]]; then
        _tk358_files "$cur" .tk358par
        return
    fi
    # The measurement logs of --chart and --plot: every word that is no option.
    local word
    for word in "${words[@]:1:cword-1}"; do
        if [[ $cur != -* && $word =~ ^--(chart|plot)$ ]]; then
            _tk358_files "$cur"
            return
        fi
    done
    _tk358_offer "--demo
--backup
--compare
--restore
--yes
--chart
--plot
-o
--from
--to
--size
--help
--version" "$cur"
}

_tk358d() {
    local cur prev words cword split
    _tk358_words || return
    case $prev in
        --port) _tk358_offer "$(_tk358_ports)" "$cur"; return ;;
        --demo) _tk358_offer $'0\n1\n2\n3\n4' "$cur"; return ;;
        --log-separator) _tk358_offer $'locale\ntab\ncomma\nsemicolon' "$cur"; return ;;
        --log-decimal) _tk358_offer $'locale\ncomma\npoint' "$cur"; return ;;
        --log-date) _tk358_offer $'locale\niso' "$cur"; return ;;
        --qos) _tk358_offer $'0\n1' "$cur"; return ;;
        --mqtt) _tk358_offer $'mqtt://\nmqtts://' "$cur"; compopt -o nospace 2>/dev/null; return ;;
        --config) _tk358_files "$cur" .ini; return ;;
        --log | --password-file | --ca-file | --cert-file | --key-file | --share)
            _tk358_files "$cur"; return ;;
        --share-group)
            _tk358_offer "$(getent group | cut -d: -f1)" "$cur"; return ;;
        --interval | --keep-days | --topic | --name | --discovery-prefix | --user | \
            --reconnect-max)
            return ;;
    esac
    _tk358_offer "--port
--demo
--log
--keep-days
--interval
--log-separator
--log-decimal
--log-date
--mqtt
--topic
--name
--qos
--ha-discovery
--discovery-prefix
--user
--password-file
--ca-file
--cert-file
--key-file
--reconnect-max
--allow-setpoint-writes
--sync-clock
--share
--share-group
--share-read-only
--config
--help
--version" "$cur"
}

complete -F _tk358 tk358
complete -F _tk358d tk358d
