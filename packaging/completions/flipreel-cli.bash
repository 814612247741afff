# bash completion for flipreel-cli                    -*- shell-script -*-
# SPDX-License-Identifier: GPL-3.0-or-later

_flipreel_cli()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        -o | --output)
            _filedir gif
            return
            ;;
        --frames)
            _filedir
            return
            ;;
        --fit)
            COMPREPLY=($(compgen -W 'stretch contain cover' -- "$cur"))
            return
            ;;
        -s | --size | -t | --time | -l | --loop | --every | --background | -j | --jobs | -Q | --quality | --max-size)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--output --size --time --loop --once --frames --every --fit
            --background --jobs --quality --max-size --strict --quiet --help --version' -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _flipreel_cli flipreel-cli
