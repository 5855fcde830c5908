#pragma once

// The local command shownode: NodeTable as report text, or "shownode clear"
// to empty it. Nothing is sent.
//
//   shownode                    the Valid Nodes row
//   shownode reg16|reg32        register blocks of the nodes heard from
//   shownode reg16|reg32 all|N  register blocks of every node, or of node N
//   shownode clear              empties NodeTable

// Lower-cases text in place (a line that begins with "shownode"; ';' has no
// meaning in it), sets len to kSendReport and returns NUL-terminated report
// text built in out, which holds capacity characters. Words are compared in
// place, so a word of any length is only ever a word that means nothing.
const char* ShowNode(char* text, int& len, char* out, int capacity);
