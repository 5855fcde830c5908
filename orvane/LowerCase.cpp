#include "orvane/LowerCase.h"

void LowerCase(char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z')
            *text = char(*text - 'A' + 'a');
    }
}
