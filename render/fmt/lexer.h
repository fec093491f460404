// A small table-driven lexer over a stack of input sources (strings or
// files), and number, vector and matrix parsers on top of it.
#pragma once

#include "render/fw/types.h"

enum {
    VT_T_EOF = 0,
    VT_T_ERROR = 1,
    VT_T_IDENT = 2,
    VT_T_STRING = 3,
    VT_T_INTEGER = 4,
    VT_T_REAL = 5,
    // Single printable characters are tokens of their own code; keyword
    // kinds start here.
    VT_T_KEYWORD = 128,
};

struct vt_lexer;
struct vt_lexer_source;

typedef void vt_lexer_getchar_cbfn(vt_lexer_source *source);
typedef void vt_lexer_error_cbfn(vt_lexer *l, const char *message);
typedef void vt_lexer_dump_cbfn(char *str, void *arg);

struct vt_lexer_source {
    vt_lexer_source *next;
    const char *name; // null for strings
    vt_int_32 line;
    vt_int_32 next_char; // 0..255, or -1 at the end
    vt_lexer_getchar_cbfn *getchar;
    const char *string; // string sources
    void *file;         // file sources
};

struct vt_lexer_keyword {
    const char *name;
    vt_int_32 id;
};

struct vt_lexer_token {
    vt_int_32 id;
    vt_int_32 integer;
    vt_float real;
    char *string; // the lexer's string buffer, or an error message
};

struct vt_lexer {
    vt_lexer_source *source;
    vt_lexer_token current;
    vt_lexer_keyword *keywords;
    vt_int_32 nkeywords;
    void (*advance)(vt_lexer *l);
    char *string_buffer;
    vt_int_32 string_buffer_size;
    vt_lexer_error_cbfn *error;
    char eol_comment;
};

vt_lexer *VtLexerAllocate(vt_lexer_keyword *keywords, int nkeywords);
void VtLexerFree(vt_lexer *l);
char VtLexerCommentSet(vt_lexer *l, char eol_comment);
vt_lexer_error_cbfn *VtLexerErrorSet(vt_lexer *l, vt_lexer_error_cbfn *error);
vt_error VtLexerDumpSet(vt_lexer *l, vt_lexer_dump_cbfn *dump, void *arg);
vt_error VtLexerPushString(vt_lexer *l, const char *string, const char *name);
vt_error VtLexerPushFile(vt_lexer *l, const char *file);
void VtLexerPop(vt_lexer *l);
char *VtLexerPosition(vt_lexer *l, char *buf, vt_size buf_size);
void VtLexerTokenError(vt_lexer *l, vt_int_32 t);

inline void VtLexerAdvance(vt_lexer *l) { l->advance(l); }
// Advances past the token when it is the expected one, else reports and
// resynchronises (then advances past the expected token if one was found).
void VtLexerExpect(vt_lexer *l, vt_int_32 t);

vt_int_32 VtParseInteger(vt_lexer *l);
vt_float VtParseFloat(vt_lexer *l);
vt_fixed VtParseFixed(vt_lexer *l);
vt_int_32 VtParseVectorFixed(vt_lexer *l, vt_fixed *v, vt_int_32 max);
vt_int_32 VtParseVectorFloat(vt_lexer *l, vt_float *v, vt_int_32 max);
vt_int_32 VtParseMatrixFixed(vt_lexer *l, vt_fixed *m, vt_int_32 width, vt_int_32 max_h);
vt_int_32 VtParseMatrixFloat(vt_lexer *l, vt_float *m, vt_int_32 width, vt_int_32 max_h);
