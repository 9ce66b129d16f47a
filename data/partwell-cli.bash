# bash completion for partwell-cli
#
# The commands and options are read from the program's own help, so that they always match the
# installed version; in English, whatever the user's language, so that they can be picked out.

_partwell_cli() {
    local prog=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local words
    if ((COMP_CWORD == 1)); then
        words=$(LANGUAGE= LC_ALL=C.UTF-8 "$prog" --help 2>/dev/null |
            sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
        COMPREPLY=($(compgen -W "$words --help --version" -- "$cur"))
        return
    fi
    local help value
    help=$(LANGUAGE= LC_ALL=C.UTF-8 "$prog" "${COMP_WORDS[1]}" --help 2>/dev/null)
    # An option shown with a value ("--parts N"): a folder for DIR, a file for PATH or FILE,
    # anything else is typed by hand, so no file names are offered.
    # The size presets; a number is typed by hand.
    if [[ $prev == --size ]]; then
        compopt +o default 2>/dev/null
        COMPREPLY=($(compgen -W "fat32 mail dvd cd" -- "$cur"))
        return
    fi
    if [[ $prev == --* ]]; then
        value=$(sed -n "s/^  $prev \([A-Z][A-Z]*\).*/\1/p" <<<"$help" | head -n 1)
        case $value in
        '') ;;
        DIR)
            COMPREPLY=($(compgen -d -- "$cur"))
            return
            ;;
        PATH | FILE) return ;;
        *)
            compopt +o default 2>/dev/null
            return
            ;;
        esac
    fi
    if [[ $cur == -* ]]; then
        words=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    fi
    # Anything else is a path: readline's own file-name completion (-o default) takes over.
}
complete -o default -F _partwell_cli partwell-cli
