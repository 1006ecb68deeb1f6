// HTML escaping and unescaping of the characters that mean something in HTML,
// and of line breaks.
//
//     CString s("a<b & c");
//     kxutilsCheckEscapeHTMLCharcters(&s, s, 0);    // "a&lt;b&nbsp;&amp;&nbsp;c"
//
//     CString t("&lt;p&gt;");
//     kxutilsCheckEscapeHTMLCharcters(&t, "<", 1);  // "<p&gt;"
//
// The table, in order:  &  "&amp;"   <  "&lt;"   >  "&gt;"   -  "&#8722;"
// (the minus sign)   "  "&quot;"   space  "&nbsp;"   line feed  "<br>".
// Only the rows whose character occurs in `selection` take part; passing the
// target's own text selects exactly the characters it holds.
// Escaping runs the rows top to bottom, so the '&' of entities made by later
// rows is not escaped again and "<br>" survives. Unescaping runs them bottom
// to top, "&amp;" last, so "&amp;lt;" comes back as "&lt;", not "<".
// Each row is one left-to-right pass over the target: linear in its length.
#pragma once

#include "afx/afx.h"
#include "export.h"

// Rewrites `target` in place: `direction` 0 escapes (character to entity),
// any other value unescapes (entity to character). An empty `selection`
// changes nothing. Decision: a null `target` or `selection` does nothing.
KXU_EXPORT void kxutilsCheckEscapeHTMLCharcters(CString* target, const char* selection,
                                                int direction);
// The flat entry point: the same arguments, forwarded unchanged.
KXU_EXPORT void kxu_check_escape_html_charcters(CString* target, const char* selection,
                                                int direction);
