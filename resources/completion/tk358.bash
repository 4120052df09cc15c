# Bash completion for tk358 and tk358d: options, COMn names, panel kinds and
# files. Installed once under each program's name; bash-completion loads it
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

# Offers files, or only those ending in `suffix` (and folders).
_tk358_files() {
    local cur=$1 suffix=${2:-}
    compopt -o filenames 2>/dev/null
    if [[ -n $suffix ]]; then
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X "!*$suffix" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

_tk358() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local before=${COMP_WORDS[COMP_CWORD - 2]:-}
    case $prev in
        --demo) _tk358_offer $'0\n1\n2\n3\n4' "$cur"; return ;;
        --backup | --compare | --restore) _tk358_offer "$(_tk358_ports)" "$cur"; return ;;
    esac
    if [[ $cur != -* && $before =~ ^--(backup|compare|restore)$ ]]; then
        _tk358_files "$cur" .tk358par
        return
    fi
    _tk358_offer $'--demo\n--backup\n--compare\n--restore\n--yes\n--help\n--version' "$cur"
}

_tk358d() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $prev in
        --port) _tk358_offer "$(_tk358_ports)" "$cur"; return ;;
        --demo) _tk358_offer $'0\n1\n2\n3\n4' "$cur"; return ;;
        --log-separator) _tk358_offer $'locale\ntab\ncomma\nsemicolon' "$cur"; return ;;
        --log-decimal) _tk358_offer $'locale\ncomma\npoint' "$cur"; return ;;
        --qos) _tk358_offer $'0\n1' "$cur"; return ;;
        --mqtt) _tk358_offer $'mqtt://\nmqtts://' "$cur"; compopt -o nospace 2>/dev/null; return ;;
        --config) _tk358_files "$cur" .ini; return ;;
        --log | --password-file | --ca-file | --cert-file | --key-file)
            _tk358_files "$cur"; return ;;
        --interval | --topic | --name | --discovery-prefix | --user | --reconnect-max)
            return ;;
    esac
    _tk358_offer "--port
--demo
--log
--interval
--log-separator
--log-decimal
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
--config
--help
--version" "$cur"
}

complete -F _tk358 tk358
complete -F _tk358d tk358d
