#!/usr/bin/env bash
# Checks the layers of the sources: the core folders (store/, valuation/, entry/ and platform/,
# their ui/ subfolders apart) include no Qt Widgets, Gui, PrintSupport or Charts header and no
# window code (a file of a ui/ folder or of app/, a form's ui_*.h); nothing in platform/ (ui/
# included) includes another folder of the project; cli/ includes no window code and reads or
# writes no portfolio file but through the session (valuation/Session.h): no property-list
# reading or writing, no store opened or saved on its own; no window, core or cli file uses
# QSettings but the typed settings (platform/Settings.*). Prints each offending line and fails
# when there is any; changes nothing.
set -uo pipefail
cd "$(dirname "$0")/.."

include='^[[:space:]]*#[[:space:]]*include[[:space:]]*'
# The window modules by name, and their classes most often included on their own.
window_classes='Widget|MainWindow|Dialog|MessageBox|FileDialog|PrintDialog|Printer|PrinterInfo'
window_classes+='|PageSetupDialog|Application|GuiApplication|Painter|Pixmap|Image|Icon|Font'
window_classes+='|Color|KeyEvent|MouseEvent|Action|Menu|MenuBar|PushButton|Label|LineEdit'
window_classes+='|ComboBox|TableView|TreeView|ListView|HeaderView|Layout|BoxLayout|VBoxLayout'
window_classes+='|HBoxLayout|GridLayout|Shortcut|UndoStack|UndoCommand|Clipboard|TextDocument'
window_classes+='|PdfWriter|Screen|Window|AbstractButton|AbstractItemView|StyledItemDelegate'
window_classes+='|Chart|ChartView|LineSeries|ValueAxis|CategoryAxis|DateTimeAxis'
window_header="${include}<(Qt(Widgets|Gui|PrintSupport|Charts)/[^>]*|Q($window_classes))>"
window_code="${include}\"(([a-z]+/)*ui/|app/|ui_)"
other_folder="${include}\"(store|valuation|entry|app|cli|tools|fuzz|bench|tests|resources)/"
portfolio_io='(writePropertyList|readPropertyList|PlistDict|PlistValue|PlistArray|readPortfolioFile'
portfolio_io+='|BondDatabase::open|fromPropertyList|toPropertyList|fileText|writeFileAtomically'
portfolio_io+='|store\(\)\.save\()'

failed=0
offences() { # pattern, message, files...
    local pattern=$1 message=$2
    shift 2
    local found
    found=$(grep -nHE "$pattern" "$@" 2>/dev/null)
    if [ -n "$found" ]; then
        echo "$found" | sed "s|\$|   <- $message|" >&2
        failed=1
    fi
}

mapfile -t core < <(git ls-files -- 'store/*' 'valuation/*' 'entry/*' 'platform/*' |
    grep -E '\.(cpp|h)$' | grep -Ev '(^|/)ui/')
mapfile -t platform < <(git ls-files -- 'platform/*' | grep -E '\.(cpp|h)$')
mapfile -t cli < <(git ls-files -- 'cli/*' | grep -E '\.(cpp|h)$')
mapfile -t windows < <(git ls-files -- '*/ui/*' 'app/*' | grep -E '\.(cpp|h)$')
mapfile -t program < <(printf '%s\n' "${core[@]}" "${windows[@]}" "${cli[@]}" |
    grep -Ev '^platform/Settings\.(cpp|h)$')
offences "$window_header" "a core file includes a window header" "${core[@]}"
offences "$window_code" "a core file includes window code" "${core[@]}"
offences "$other_folder" "platform/ includes another folder of the project" "${platform[@]}"
offences "$window_header" "cli/ includes a window header" "${cli[@]}"
offences "$window_code" "cli/ includes window code" "${cli[@]}"
offences "$portfolio_io" "cli/ reads or writes portfolios but through the session" "${cli[@]}"
offences 'QSettings' "settings are read and written through platform/Settings.h" "${program[@]}"
offences '(^|[^A-Za-z0-9_.>])tr\(' "texts are English only (README), written as they are shown" "${program[@]}"

if [ "$failed" -ne 0 ]; then
    echo "Layers: FAILED (see above)." >&2
    exit 1
fi
echo "Layers: ${#core[@]} core, ${#platform[@]} platform, ${#windows[@]} window and ${#cli[@]} cli files checked."
