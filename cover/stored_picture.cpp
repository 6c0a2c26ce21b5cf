// Stand-in until it is built: no track has a stored picture.
#include "cover/cover.h"

CoverPicture *ReadCoverPicture(const WCHAR *, DWORD)
{
    return NULL;
}

void FreeCoverPicture(CoverPicture *)
{
}
