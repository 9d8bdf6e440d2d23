#include "app/pages.h"

// In PageId order; the tab of page k is tab k of the bar.
const std::array<PageEntry, 14> PageTable = {{
    {"TOP", 1200, 0, EnterTop, TopClick, nullptr, PaintTop, StartTop},
    {"FILTER", 1210, 1, EnterFilter, FilterClick, nullptr, PaintFilter, StartFilter},
    {"MAP", 1220, 2, EnterMap, MapClick, nullptr, PaintMap, StartMap},
    {"DEVELOP", 1230, 3, EnterDevelop, DevelopClick, nullptr, PaintDevelop, StartDevelop, LeaveDevelop},
    {"VANTOR EYE", 1240, 4, EnterEye, EyeClick, nullptr, PaintEye, StartEye},
    {"CONTOUR", 1250, 5, EnterContour, ContourClick, nullptr, PaintContour, StartContour},
    {"ADD", 1260, 6, EnterAdd, AddClick, nullptr, PaintAdd, StartAdd},
    {"PALETTE", 1270, 7, EnterPalette, PaletteClick, nullptr, PaintPalette, StartPalette},
    {"UNI C.", 1280, 8, EnterUniC, UniCClick, nullptr, PaintUniC, StartUniC},
    {"Outline", 1290, 9, EnterOutline, OutlineClick, OutlineRightClick, PaintOutline, StartOutline},
    {"Pattern", 1295, 15, EnterPattern, PatternClick, PatternRightClick, PaintPattern, StartPattern},
    {"Transfer", 1300, 16, EnterTransfer, TransferClick, TransferRightClick, PaintTransfer, StartTransfer},
    {"APPEAR", 1310, 17, EnterAppear, AppearClick, nullptr, PaintAppear, StartAppear},
    {"GAMON", 1320, 13, EnterGamon, GamonClick, nullptr, PaintGamon, StartGamon},
}};
