# Doxygen's input filter for the public headers: their comments are written as plain `//`
# prose, which this turns into documentation for Doxygen without touching the headers.
#   - the first comment block of a file, before any declaration, describes the file;
#   - a comment block directly above a declaration documents it (a block followed by a blank
#     line is a remark on the section and stays a plain comment);
#   - a comment after a member or an enum value on its line documents that member.
# Characters that Doxygen would read as commands or markup outside `code` are escaped. Only
# POSIX awk is used.

function escape(text,    out, i, c, code) {
    out = ""; code = 0
    for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (c == "`") code = !code
        else if (!code && c == ":" && substr(text, i + 1, 1) == ":") {
            # "A::B" in prose is not a link request.
            out = out "\\::"
            i++
            continue
        } else if (!code && (c == "\\" || c == "@" || c == "<" || c == ">" || c == "&" || c == "#" || c == "%"))
            out = out "\\"
        out = out c
    }
    return out
}

function comment_text(line) {
    sub(/^[ \t]*\/\/ ?/, "", line)
    return line
}

function indent_of(line) {
    match(line, /^[ \t]*/)
    return substr(line, 1, RLENGTH)
}

# Writes the buffered comment block: as documentation of the file, of what follows, or as it was.
function flush(kind,    i) {
    if (count == 0) return
    if (kind == "file") print indent[1] "/// @file"
    for (i = 1; i <= count; i++) {
        if (kind == "plain") print block[i]
        else print indent[i] "/// " escape(comment_text(block[i]))
    }
    count = 0
}

BEGIN { count = 0; declared = 0; file_done = 0 }

/^[ \t]*\/\/[^\/]/ || /^[ \t]*\/\/$/ {
    count++
    block[count] = $0
    indent[count] = indent_of($0)
    next
}

{
    line = $0
    blank = (line ~ /^[ \t]*$/)
    if (count > 0) {
        if (!file_done && !declared) { flush("file"); file_done = 1 }
        else if (blank) flush("plain")
        else flush("doc")
    }
    # A member's or an enum value's comment on its own line: "int X; // text".
    at = index(line, "//")
    if (at > 0) {
        code = substr(line, 1, at - 1)
        if (code !~ /"/ && code ~ /[;,][ \t]*$/ && substr(line, at + 2, 1) != "/")
            line = code "///< " escape(comment_text(substr(line, at)))
    }
    if (!blank && line !~ /^[ \t]*#/) declared = 1
    print line
}

END { flush("plain") }
