#include "app/settings_table.h"

#include "app/korvan_main.h"
#include "resources/texts.h"
#include "settings_ui/korvan_prop.h"

namespace {

TSetting HotKeyRow(const char* key, std::string TKorvanMain::*member, int index, const char* chore,
                   THotKey* TKorvanProp::*field) {
    TSetting row{"HotKey", key, TSettingKind::HotKey};
    row.text = member;
    row.hotKey = index;
    row.chore = chore;
    row.hotKeyField = field;
    return row;
}

TSetting TextRow(const char* key, TSettingKind kind, std::string TKorvanMain::*member, TEdit* TKorvanProp::*field) {
    TSetting row{"HotKey", key, kind};
    row.text = member;
    row.textField = field;
    return row;
}

// The values of Style, in the order of the dialog's items.
const char* const kStyles[] = {"", "Fill", "Fit", "Stretch", "Tile", "Center", "Span"};

}  // namespace

const std::vector<TSetting>& Settings() {
    static const std::vector<TSetting> rows = [] {
        TSetting time{"HotKey", "Time", TSettingKind::Integer};
        time.number = &TKorvanMain::Time;
        time.defaultValue = 10;
        time.spinField = &TKorvanProp::SpinEdit1;
        TSetting mouse{"Operate", "Mouse", TSettingKind::Boolean};
        mouse.flag = &TKorvanMain::Mouse;
        mouse.defaultValue = 1;
        mouse.radioField = &TKorvanProp::RadioGroup1;
        // Written after [Operate]: a file without them behaves as before.
        TSetting order{"Wallpaper", "Order", TSettingKind::Integer};
        order.number = &TKorvanMain::Order;
        order.comboField = &TKorvanProp::ComboBox1;
        TSetting style{"Wallpaper", "Style", TSettingKind::Text};
        style.text = &TKorvanMain::Style;
        style.comboField = &TKorvanProp::ComboBox2;
        style.choices = kStyles;
        TSetting subFolders{"Wallpaper", "SubFolders", TSettingKind::Boolean};
        subFolders.flag = &TKorvanMain::SubFolders;
        subFolders.checkField = &TKorvanProp::CheckBox1;
        TSetting monitors{"Wallpaper", "Monitors", TSettingKind::Integer};
        monitors.number = &TKorvanMain::Monitors;
        monitors.checkField = &TKorvanProp::CheckBox2;
        TSetting current{"Wallpaper", "Current", TSettingKind::Text};
        current.text = &TKorvanMain::Current;
        return std::vector<TSetting>{
            HotKeyRow("Paint", &TKorvanMain::Paint, hkPaint, texts::GroupRedraw, &TKorvanProp::HotKey1),
            HotKeyRow("ScreenSaver", &TKorvanMain::ScreenSaver, hkScreenSaver, texts::GroupScreenSaver,
                      &TKorvanProp::HotKey2),
            HotKeyRow("ExitDialog", &TKorvanMain::ExitDialog, hkExitDialog, texts::GroupExitDialog,
                      &TKorvanProp::HotKey3),
            HotKeyRow("Panic", &TKorvanMain::Panic, hkPanic, texts::GroupPanic, &TKorvanProp::HotKey4),
            TextRow("Application1", TSettingKind::Title, &TKorvanMain::Application1, &TKorvanProp::Edit1),
            TextRow("Application2", TSettingKind::Title, &TKorvanMain::Application2, &TKorvanProp::Edit2),
            HotKeyRow("WallPaper", &TKorvanMain::WallPaper, hkWallPaper, texts::GroupWallpaper, &TKorvanProp::HotKey5),
            TextRow("WallPaperPath", TSettingKind::Folder, &TKorvanMain::WallPaperPath, &TKorvanProp::Edit3),
            time,
            mouse,
            order,
            style,
            subFolders,
            monitors,
            current,
        };
    }();
    return rows;
}
