# bash completion for partwell-cli
#
# The commands and options are read from the program's own help, so that they always match the
# installed version.

_partwell_cli() {
    local prog=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local words
    if ((COMP_CWORD == 1)); then
        words=$("$prog" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
        COMPREPLY=($(compgen -W "$words --help --version" -- "$cur"))
        return
    fi
    local help
    help=$("$prog" "${COMP_WORDS[1]}" --help 2>/dev/null)
    # An option shown with a value ("--parts N") takes one typed by hand: offer no file names.
    if [[ $prev == --* ]] &&
        grep -q -- "^  $prev [A-Z]" <<<"$help"; then
        compopt +o default 2>/dev/null
        return
    fi
    if [[ $cur == -* ]]; then
        words=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    fi
    # Anything else is a path: readline's own file-name completion (-o default) takes over.
}
complete -o default -F _partwell_cli partwell-cli
