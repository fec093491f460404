// Sources, scanning and token errors.
#include "render/fmt/lexer.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "render/fmt/fmt.h"
#include "render/fw/fw.h"
#include "render/std/stdlib.h"

namespace {

constexpr int kStringBufferSize = 256;

bool isLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isPrint(int c) { return c >= 32 && c <= 126; }
bool isNumberChar(int c) {
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == 'x' || c == 'X' || c == '.';
}

void stringGetChar(vt_lexer_source *s) {
    if (s->string && *s->string)
        s->next_char = static_cast<unsigned char>(*s->string++);
    else
        s->next_char = -1;
}

void fileGetChar(vt_lexer_source *s) {
    int c = VtFilesystem()->getchr(s->file);
    s->next_char = c < 0 ? -1 : (c & 0xFF);
}

void silentError(vt_lexer *, const char *) {}

void nextChar(vt_lexer *l) { l->source->getchar(l->source); }

void errorToken(vt_lexer *l, const char *message) {
    l->current.id = VT_T_ERROR;
    l->current.string = const_cast<char *>(message);
    l->error(l, message);
}

// The longest prefix of text that forms a decimal number (digits, an
// optional fraction, an optional exponent); no hex, inf or nan.
float decimalPrefix(const char *text) {
    char buf[kStringBufferSize];
    size_t n = 0;
    const char *p = text;
    while (isDigit(*p))
        buf[n++] = *p++;
    if (*p == '.') {
        buf[n++] = *p++;
        while (isDigit(*p))
            buf[n++] = *p++;
    }
    if ((*p == 'e' || *p == 'E') && isDigit(p[1])) {
        buf[n++] = *p++;
        while (isDigit(*p))
            buf[n++] = *p++;
    }
    // from_chars reads the C locale's form whatever locale is set.
    // Exponents never carry a sign here, so out of range means too large.
    double v = 0;
    if (std::from_chars(buf, buf + n, v).ec == std::errc::result_out_of_range)
        v = HUGE_VAL;
    return float(v);
}

// Base 0: a 0x prefix reads hexadecimal, a leading 0 octal. Values beyond
// the 32-bit range read as the largest.
vt_int_32 integerPrefix(const char *text) {
    const char *p = text;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && isxdigit(static_cast<unsigned char>(p[2]))) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;
    }
    int64_t v = 0;
    for (;; ++p) {
        int d;
        if (isDigit(*p))
            d = *p - '0';
        else if (*p >= 'a' && *p <= 'f')
            d = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F')
            d = *p - 'A' + 10;
        else
            break;
        if (d >= base)
            break;
        v = v * base + d;
        if (v > INT32_MAX)
            v = int64_t(INT32_MAX) + 1;
    }
    return v > INT32_MAX ? INT32_MAX : vt_int_32(v);
}

void scanString(vt_lexer *l) {
    int n = 0;
    nextChar(l); // the opening quote
    for (;;) {
        int c = l->source->next_char;
        if (c == '"') {
            nextChar(l);
            l->string_buffer[n] = '\0';
            l->current.id = VT_T_STRING;
            l->current.string = l->string_buffer;
            return;
        }
        if (c == '\n' || c == -1 || n == l->string_buffer_size - 1) {
            if (c == '\n')
                l->source->line++;
            if (c != -1)
                nextChar(l);
            l->string_buffer[n] = '\0';
            errorToken(l, "Unterminated string");
            return;
        }
        l->string_buffer[n++] = char(c);
        nextChar(l);
    }
}

void scanWord(vt_lexer *l) {
    int n = 0;
    int c = l->source->next_char;
    while ((isLetter(c) || isDigit(c) || c == '_') && n < l->string_buffer_size - 1) {
        l->string_buffer[n++] = char(c);
        nextChar(l);
        c = l->source->next_char;
    }
    l->string_buffer[n] = '\0';
    l->current.string = l->string_buffer;
    for (int i = 0; i < l->nkeywords; i++) {
        const char *k = l->keywords[i].name;
        if (k && k[0] == l->string_buffer[0] && VtStrICmp(k, l->string_buffer) == 0) {
            l->current.id = l->keywords[i].id;
            return;
        }
    }
    l->current.id = VT_T_IDENT;
}

void scanNumber(vt_lexer *l) {
    int n = 0;
    bool real = false;
    int c = l->source->next_char;
    while (isNumberChar(c) && n < l->string_buffer_size - 1) {
        real |= c == '.';
        l->string_buffer[n++] = char(c);
        nextChar(l);
        c = l->source->next_char;
    }
    l->string_buffer[n] = '\0';
    l->current.string = l->string_buffer;
    if (real) {
        l->current.id = VT_T_REAL;
        l->current.real = decimalPrefix(l->string_buffer);
    } else {
        l->current.id = VT_T_INTEGER;
        l->current.integer = integerPrefix(l->string_buffer);
    }
}

void scanToken(vt_lexer *l) {
    for (;;) {
        vt_lexer_source *s = l->source;
        if (s == nullptr) {
            l->current.id = VT_T_EOF;
            return;
        }
        int c = s->next_char;
        if (c == -1) {
            VtLexerPop(l);
            continue;
        }
        if (l->eol_comment && c == static_cast<unsigned char>(l->eol_comment)) {
            // The comment character itself is taken first, so that one that
            // is a newline cannot hold the scan in place.
            if (c == '\n')
                s->line++;
            nextChar(l);
            while (s->next_char != '\n' && s->next_char != -1)
                nextChar(l);
            continue;
        }
        if (c == '\n') {
            s->line++;
            nextChar(l);
            continue;
        }
        if (isSpace(c) || c == 26) {
            nextChar(l);
            continue;
        }
        break;
    }
    int c = l->source->next_char;
    if (c == '"') {
        scanString(l);
    } else if (isLetter(c) || c == '_') {
        scanWord(l);
    } else if (isDigit(c)) {
        scanNumber(l);
    } else if (isPrint(c)) {
        l->current.id = c;
        nextChar(l);
    } else {
        nextChar(l);
        errorToken(l, "Unexpected character");
    }
}

vt_lexer_source *newSource(vt_lexer *l, const char *name) {
    auto *s = static_cast<vt_lexer_source *>(VtResAllocate(l, sizeof(vt_lexer_source), VT_RES_LEXER));
    if (s == nullptr)
        return nullptr;
    s->line = 1;
    if (name)
        s->name = VtResStrDup(s, name);
    return s;
}

void pushSource(vt_lexer *l, vt_lexer_source *s) {
    s->next = l->source;
    l->source = s;
    s->getchar(s);
}

} // namespace

vt_lexer *VtLexerAllocate(vt_lexer_keyword *keywords, int nkeywords) {
    auto *l = static_cast<vt_lexer *>(VtResAllocate(VtFrameworkRoot(), sizeof(vt_lexer), VT_RES_LEXER));
    if (l == nullptr)
        return nullptr;
    l->keywords = keywords;
    l->nkeywords = nkeywords;
    l->advance = scanToken;
    l->string_buffer = static_cast<char *>(VtResAllocate(l, kStringBufferSize, VT_RES_LEXER));
    if (l->string_buffer == nullptr) {
        VtResFree(l);
        return nullptr;
    }
    l->string_buffer_size = kStringBufferSize;
    l->error = silentError;
    return l;
}

void VtLexerFree(vt_lexer *l) {
    while (l->source)
        VtLexerPop(l);
    VtResFree(l);
}

char VtLexerCommentSet(vt_lexer *l, char eol_comment) {
    char old = l->eol_comment;
    l->eol_comment = eol_comment;
    return old;
}

vt_lexer_error_cbfn *VtLexerErrorSet(vt_lexer *l, vt_lexer_error_cbfn *error) {
    vt_lexer_error_cbfn *old = l->error == silentError ? nullptr : l->error;
    l->error = error ? error : silentError;
    return old;
}

vt_error VtLexerDumpSet(vt_lexer *, vt_lexer_dump_cbfn *, void *) { return VT_E_OK; }

vt_error VtLexerPushString(vt_lexer *l, const char *string, const char *name) {
    vt_lexer_source *s = newSource(l, name);
    if (s == nullptr)
        return VT_E_NO_MEMORY;
    s->string = string;
    s->getchar = stringGetChar;
    pushSource(l, s);
    return VT_E_OK;
}

vt_error VtLexerPushFile(vt_lexer *l, const char *file) {
    int mode = 1;
    void *f = VtFilesystem()->open_read(file, 0, nullptr, &mode);
    if (f == nullptr)
        return VT_E_FAIL;
    vt_lexer_source *s = newSource(l, file);
    if (s == nullptr) {
        VtFilesystem()->close(f);
        return VT_E_NO_MEMORY;
    }
    s->file = f;
    s->getchar = fileGetChar;
    pushSource(l, s);
    return VT_E_OK;
}

void VtLexerPop(vt_lexer *l) {
    vt_lexer_source *s = l->source;
    if (s == nullptr)
        return;
    l->source = s->next;
    if (s->file)
        VtFilesystem()->close(s->file);
    VtResFree(s);
}

char *VtLexerPosition(vt_lexer *l, char *buf, vt_size buf_size) {
    if (buf_size == 0)
        return buf;
    if (l->source && l->source->name)
        VtSprintfN(buf, buf_size, "%s:%d ", l->source->name, l->source->line);
    else
        buf[0] = '\0';
    return buf;
}

void VtLexerTokenError(vt_lexer *l, vt_int_32 t) {
    if (l->current.id != VT_T_ERROR) {
        char msg[320];
        switch (t) {
        case VT_T_EOF: VtSprintfN(msg, sizeof msg, "expected end of file"); break;
        case VT_T_ERROR: VtSprintfN(msg, sizeof msg, "%s", l->current.string ? l->current.string : ""); break;
        case VT_T_IDENT: VtSprintfN(msg, sizeof msg, "expected an identifier"); break;
        case VT_T_STRING: VtSprintfN(msg, sizeof msg, "expected a string"); break;
        case VT_T_INTEGER: VtSprintfN(msg, sizeof msg, "expected an integer"); break;
        case VT_T_REAL: VtSprintfN(msg, sizeof msg, "expected a real number"); break;
        default:
            if (t < VT_T_KEYWORD) {
                if (isPrint(t))
                    VtSprintfN(msg, sizeof msg, "expected '%c'", t);
                else
                    VtSprintfN(msg, sizeof msg, "expected unknown token %d", t);
            } else {
                const char *name = nullptr;
                for (int i = 0; i < l->nkeywords; i++)
                    if (l->keywords[i].id == t) {
                        name = l->keywords[i].name;
                        break;
                    }
                if (name)
                    VtSprintfN(msg, sizeof msg, "expected '%s'", name);
                else
                    VtSprintfN(msg, sizeof msg, "expected unknown keyword %d", t);
            }
        }
        l->error(l, msg);
    }
    while (l->current.id != t && l->current.id != VT_T_EOF)
        l->advance(l);
}

void VtLexerExpect(vt_lexer *l, vt_int_32 t) {
    if (l->current.id != t)
        VtLexerTokenError(l, t);
    if (l->current.id == t)
        l->advance(l);
}
