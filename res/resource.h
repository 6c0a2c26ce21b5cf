// Resource identifiers shared by the resource script and the code.
#define IDI_TUNEBELL          123
#define IDD_PREFS_PAGE        103
#define IDC_PREFS_PAGE_TEXT   1023
