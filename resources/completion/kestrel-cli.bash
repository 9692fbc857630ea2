# Bash completion of kestrel-cli: commands, their subcommands and options, and the values
# of options (print systems, queue names from CUPS, logo numbers, files by their extension).
# Loaded by bash-completion from its completions folder.

_kestrel_cli() {
    local cur prev words cword
    _init_completion || return

    # The command and, for settings and logo, the subcommand typed so far. Global options come
    # before the command; those with a value take the next word.
    local i command="" subcommand=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --print-system | --virtual-config | -h | --host | --folder)
                [[ -z $command ]] && ((i++))
                ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=${words[i]}
                elif [[ -z $subcommand && ($command == settings || $command == logo) ]]; then
                    subcommand=${words[i]}
                fi
                ;;
        esac
    done

    case $prev in
        --print-system)
            COMPREPLY=($(compgen -W "cups virtual" -- "$cur"))
            return
            ;;
        --virtual-config)
            _filedir ini
            return
            ;;
        --folder)
            _filedir -d
            return
            ;;
        -h | --host)
            [[ -z $command ]] && return
            ;;
        -p | --printer)
            COMPREPLY=($(compgen -W "$(lpstat -e 2>/dev/null)" -- "$cur"))
            return
            ;;
        -s | --settings)
            _filedir kcf
            return
            ;;
        --dry-run)
            _filedir
            return
            ;;
        -o | --output)
            _filedir png
            return
            ;;
        --slot)
            COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur"))
            return
            ;;
        --serial-wait)
            return
            ;;
    esac

    local job="--help -p --printer -y --yes --dry-run"
    local words_here=""
    case $command in
        "")
            words_here="printers send init list-print settings logo"
            [[ $cur == -* ]] &&
                words_here="--print-system --virtual-config -h --host --folder --help --version"
            ;;
        printers) words_here="--help --json" ;;
        send) words_here="$job -s --settings --save --serial-wait" ;;
        init) words_here="$job --serial-wait" ;;
        list-print) words_here="$job" ;;
        settings)
            case $subcommand in
                "")
                    words_here="show set"
                    [[ $cur == -* ]] && words_here="--help"
                    ;;
                show)
                    [[ $cur == -* ]] || { _filedir kcf; return; }
                    words_here="--help -p --printer --json"
                    ;;
                set)
                    [[ $cur == -* ]] || { _filedir kcf; return; }
                    words_here="--help"
                    ;;
            esac
            ;;
        logo)
            case $subcommand in
                "")
                    words_here="register print delete confirm-print preview"
                    [[ $cur == -* ]] && words_here="--help"
                    ;;
                register)
                    [[ $cur == -* ]] || { _filedir bmp; return; }
                    words_here="$job --slot --two-color"
                    ;;
                print) words_here="$job --slot --two-color --cut --no-cut" ;;
                delete) words_here="$job --slot" ;;
                confirm-print) words_here="$job" ;;
                preview)
                    [[ $cur == -* ]] || { _filedir bmp; return; }
                    words_here="--help --two-color -o --output"
                    ;;
            esac
            ;;
    esac
    COMPREPLY=($(compgen -W "$words_here" -- "$cur"))
}
complete -F _kestrel_cli kestrel-cli
