// The demo's settings-dialog part: arrives with the dialog.
#include "host/demo_support.h"

bool RunDialogDemo(const char *, const char *)
{
    return true;
}
