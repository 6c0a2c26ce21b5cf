#include "popup/layout.h"
#include "popup/dpi.h"
#include "popup/placement.h"
#include "popup/record.h"
#include "settings/settings.h"

// Lengths at 96 dpi.
#define FRAME_BORDER 2   // the popup is this much larger than its content
#define INNER_BORDER 2   // B: around the content
#define ICON_GAP 4       // G1: between the icon column and the texts
#define TIME_GAP 10      // G2: between the title and the time
// The look that follows Windows, as Windows' own flyouts are spaced.
#define LOOK_BORDER 1    // on each side, never enlarged
#define LOOK_PADDING 8   // inside the border, on every side
#define LOOK_ICON_GAP 10
#define LOOK_ROW_GAP 2   // between the two text rows

int FrameBorder(int dpi)
{
    return ScaledLength(FRAME_BORDER, dpi);
}

int WindowsLookBorder(int dpi)
{
    return ScaledLength(LOOK_BORDER, dpi);
}

void FixedTextSizes(int style, LayoutInput *in)
{
    bool flat = style == STYLE_FLAT;
    in->titleW = flat ? 101 : 80;
    in->infoW = flat ? 146 : 125;
    in->timeW = 35;
    in->titleH = in->infoH = in->timeH = 14;
}

void ChooseLineToMeasure(const WCHAR *text, int *start, int *length, int *lineCount)
{
    int end = lstrlenW(text);   // the working copy is text[0, end)
    int best = 0;
    *start = 0;
    *length = end;
    *lineCount = 1;
    for (;;) {
        int feed = end - 1;
        while (feed >= 0 && text[feed] != '\n')
            feed--;
        if (feed < 0)
            break;
        *lineCount += 1;
        int tail = end - feed;   // the line feed counts as one
        if (tail > best) {
            best = tail;
            *start = feed;
            *length = tail;
        }
        end = feed;
    }
    if (end > best) {
        *start = 0;
        *length = end;
    }
}

PopupLayout ComputePopupLayout(const LayoutInput *in)
{
    int TW = in->titleW, TH = in->titleH, IW = in->infoW, IH = in->infoH;
    int CW = in->timeW, CH = in->timeH;
    // A cover takes the icon column's place.
    int I = in->coverBox ? in->coverBox : in->smallIconWidth;

    // Every length given at 96 dpi is scaled; texts measured in the fonts
    // of this resolution are not scaled again.
    int D = in->dpi;
    if (!in->measured) {
        TW = ScaledLength(TW, D); TH = ScaledLength(TH, D);
        IW = ScaledLength(IW, D); IH = ScaledLength(IH, D);
        CW = ScaledLength(CW, D); CH = ScaledLength(CH, D);
    }
    // B lies around the content, R between the rows; the frame makes the
    // popup b0 larger than its content, which starts `inset` in.
    int B, G1, R, b0, inset;
    if (in->windowsLook) {
        B = ScaledLength(LOOK_PADDING, D);
        G1 = ScaledLength(LOOK_ICON_GAP, D);
        R = ScaledLength(LOOK_ROW_GAP, D);
        inset = WindowsLookBorder(D);
        b0 = 2 * inset;
    } else {
        B = R = ScaledLength(INNER_BORDER, D);
        G1 = ScaledLength(ICON_GAP, D);
        b0 = FrameBorder(D);
        inset = b0 / 2;
    }
    int G2 = ScaledLength(TIME_GAP, D);
    const int minimumWidth = ScaledLength(in->minimumWidth, D);
    const int maximumWidth = ScaledLength(in->maximumWidth, D);

    if (in->enlarge) {
        int E = in->enlargement;
        TW = E * TW / 96; TH = E * TH / 96; IW = E * IW / 96; IH = E * IH / 96;
        CW = E * CW / 96; CH = E * CH / 96; B = E * B / 96; R = E * R / 96;
        G1 = E * G1 / 96; G2 = E * G2 / 96;
    }

    int W1 = TW + I + G1 + 2 * B;
    if (in->displayTime)
        W1 += G2 + CW;
    int W2 = IW + I + G1 + 2 * B;
    int W = !in->showText ? W1 : (W1 < W2 ? W2 : W1);
    if (in->useMinimumWidth && W < minimumWidth)
        W = minimumWidth;
    if (in->useMaximumWidth && W > maximumWidth) {
        W = maximumWidth;
        IW = maximumWidth - 2 * B - G1 - I;
    }

    // Wider than the screen takes, the popup would hide the title's start
    // past the screen's edge: the lines are narrowed instead.
    bool titleCut = false, infoCut = false;
    if (in->widest > 0 && W + b0 > in->widest) {
        W = in->widest - b0;
        int text = W - 2 * B - G1 - I;
        int titleRoom = in->displayTime ? text - G2 - CW : text;
        titleCut = TW > titleRoom;
        infoCut = in->showText && IW > text;
        TW = titleCut ? (titleRoom > 0 ? titleRoom : 0) : TW;
        IW = infoCut ? (text > 0 ? text : 0) : IW;
    }

    int H = TH + 2 * B;
    if (in->showText)
        H += R + IH;
    // The text block (the title row, and the information row below it) sits
    // in the middle of a popup that the cover makes higher.
    int textHeight = H - 2 * B;
    if (in->coverBox && H < in->coverBox + 2 * B)
        H = in->coverBox + 2 * B;
    int top = (H - textHeight) / 2;

    // The design's icon column runs the content's full height; the look
    // keeps its padding above and below it too.
    int iconInset = in->windowsLook ? B : 0;
    PopupLayout out;
    out.popup = { 0, 0, W + b0, H + b0 };
    out.back = { inset, inset, W, H };
    out.icon = { inset + B, inset + iconInset, I, H - 2 * iconInset };
    out.title = { inset + B + I + G1, inset + top, TW, TH };
    out.info = { inset + B + I + G1, inset + top + textHeight - IH, IW, IH };
    out.time = { inset + W - B - CW, inset + top, CW, CH };
    out.titleCut = titleCut;
    out.infoCut = infoCut;
    return out;
}

// Measures a child's text (or the part of it given) in the child's own font,
// on a device context of the popup's that the layout takes once for all.
static void MeasureChildText(HDC dc, HWND child, const WCHAR *text, int length, int *w, int *h)
{
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageA(child, WM_GETFONT, 0, 0));
    SIZE size = { 0, 0 };
    GetTextExtentPoint32W(dc, text, length, &size);
    int extra = GetTextCharacterExtra(dc);
    if (extra != (int)0x8000000)
        size.cx += extra * length;
    SelectObject(dc, oldFont);
    *w = size.cx;
    *h = size.cy;
}

static void MoveChild(HWND child, const LayoutBox &box)
{
    if (child)
        MoveWindow(child, box.x, box.y, box.w, box.h, FALSE);
}

// A line cut short ends in "..."; its window text stays whole, for screen
// readers.
static void MarkCut(HWND child, bool cut)
{
    if (child && cut)
        SetWindowLongW(child, GWL_STYLE, GetWindowLongW(child, GWL_STYLE) | SS_ENDELLIPSIS);
}

void LayoutPopup(const PopupWindowRecord *record, const RECT *workArea)
{
    HWND popup = record->Popup;
    LayoutInput in;
    ZeroMemory(&in, sizeof(in));
    in.measured = gSettings.DynamicResize != 0;
    if (in.measured) {
        HDC dc = GetDC(popup);
        WCHAR title[2048];
        int n = GetWindowTextW(record->TitleStatic, title, 2048);
        MeasureChildText(dc, record->TitleStatic, title, n, &in.titleW, &in.titleH);
        if (record->InfoStatic) {
            WCHAR info[2048];
            GetWindowTextW(record->InfoStatic, info, 2048);
            int start, length, lines;
            ChooseLineToMeasure(info, &start, &length, &lines);
            MeasureChildText(dc, record->InfoStatic, info + start, length, &in.infoW, &in.infoH);
            in.infoH *= lines;
        }
        if (record->TimeStatic) {
            WCHAR time[64];
            n = GetWindowTextW(record->TimeStatic, time, 64);
            MeasureChildText(dc, record->TimeStatic, time, n, &in.timeW, &in.timeH);
        }
        ReleaseDC(popup, dc);
    } else {
        // The look that follows Windows is flat.
        FixedTextSizes(record->Look.Windows ? STYLE_FLAT : gSettings.Style, &in);
    }

    in.dpi = record->Scale.dpi;
    in.smallIconWidth = record->Scale.smallIconWidth;
    in.coverBox = record->Cover ? ScaledLength(record->Request->CoverSize, record->Scale.dpi) : 0;
    in.showText = record->InfoStatic != NULL;
    in.displayTime = record->TimeStatic != NULL;
    in.enlarge = gSettings.EnlargePopup != 0;
    in.enlargement = gSettings.Enlargement;
    in.useMinimumWidth = gSettings.UseMinimumWidth != 0;
    in.minimumWidth = gSettings.MinimumWidth;
    in.useMaximumWidth = gSettings.UseMaximumWidth != 0;
    in.maximumWidth = gSettings.MaximumWidth;
    int margin = ScaledLength(POPUP_MARGIN, in.dpi);
    in.widest = workArea->right - workArea->left - 2 * margin;
    in.windowsLook = record->Look.Windows;

    PopupLayout layout = ComputePopupLayout(&in);
    MoveChild(popup, layout.popup);
    MoveChild(record->BackStatic, layout.back);
    MoveChild(record->IconStatic, layout.icon);
    MoveChild(record->TitleStatic, layout.title);
    MoveChild(record->InfoStatic, layout.info);
    MoveChild(record->TimeStatic, layout.time);
    MarkCut(record->TitleStatic, layout.titleCut);
    MarkCut(record->InfoStatic, layout.infoCut);
}
