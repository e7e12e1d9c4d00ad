#include "settings/action_registration_dialog.h"

#include "actions/action_kinds.h"
#include "actions/action_paths.h"
#include "actions/action_record.h"
#include "actions/action_registration.h"
#include "actions/rename_settings.h"
#include "actions/action_texts.h"
#include "actions/builtin_functions.h"
#include "actions/settings_messages.h"
#include "imagelist/row_colours.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qlx::gui {

namespace {

namespace msg = actions::messages;
using actions::ActionKind;

// The kinds offered, in their order: every kind an action can have.
constexpr std::array<std::int32_t, 13> kOfferedKinds{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

const actions::ActionKindInfo* kindInfo(std::int32_t kind)
{
    return actions::isRegistrable(kind) ? actions::actionKind(kind) : nullptr;
}

} // namespace

ActionRegistrationDialog::ActionRegistrationDialog(settings::SettingsRecord& settings,
                                                   std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates,
                                                   const std::function<bool(int function)>& functionAvailable,
                                                   std::optional<std::size_t> editing,
                                                   std::optional<std::size_t> startFrom, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_keyStates(keyStates), m_editing(editing)
{
    setWindowTitle(toQString(msg::kRegistrationTitle));
    buildControls(functionAvailable);
    if (startFrom && *startFrom < actions::ActionTable(m_settings).count())
        showRecord(*startFrom);
    connect(m_key, &QComboBox::currentIndexChanged, this, &ActionRegistrationDialog::updateCaption);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &ActionRegistrationDialog::onKindChanged);
    connect(m_function, &QComboBox::currentIndexChanged, this, &ActionRegistrationDialog::updateCaption);
    connect(m_path, &QLineEdit::textChanged, this, &ActionRegistrationDialog::updateCaption);
    connect(m_browse, &QPushButton::clicked, this, &ActionRegistrationDialog::browse);
    connect(m_register, &QPushButton::clicked, this, &ActionRegistrationDialog::registerAction);
    connect(m_renameFixed, &QCheckBox::clicked, this, &ActionRegistrationDialog::onRenameFixedClicked);
    onKindChanged();
}

void ActionRegistrationDialog::buildControls(const std::function<bool(int)>& functionAvailable)
{
    m_key = new QComboBox(this);
    for (const std::u16string_view name : actions::kTargetKeyNames)
        m_key->addItem(toQString(name));
    m_key->setCurrentIndex(-1);
    m_kind = new QComboBox(this);
    for (const std::int32_t kind : kOfferedKinds)
        m_kind->addItem(toQString(actions::actionKind(kind)->shortName), kind);
    m_kind->setCurrentIndex(-1);
    m_pathLabel = new QLabel(this);
    m_path = new QLineEdit(this);
    m_path->setMaxLength(static_cast<int>(actions::ActionRecordLayout::kPath.units - 1));
    m_browse = new QPushButton(toQString(msg::kBrowseButton), this);
    m_function = new QComboBox(this);
    for (const std::uint8_t function : actions::kBuiltinFunctionListOrder)
        if (functionAvailable && functionAvailable(function))
            m_function->addItem(toQString(actions::kBuiltinFunctions[function].name), int{function});
    m_comment = new QLineEdit(this);
    m_comment->setMaxLength(static_cast<int>(actions::ActionRecord::kMaxCommentLength));
    m_sameNameJpeg = new QCheckBox(toQString(msg::kSameNameJpegBox), this);
    m_transferAsOne = new QCheckBox(toQString(msg::kTransferAsOneBox), this);
    m_pathAtRunTime = new QCheckBox(toQString(msg::kPathAtRunTimeBox), this);
    m_renameFixed = new QCheckBox(toQString(msg::kRenameFixedBox), this);
    m_useColour = new QRadioButton(toQString(msg::kUseKindColour), this);
    m_noColour = new QRadioButton(toQString(msg::kNoColour), this);
    m_sample = new QLabel(this);
    m_sample->setFixedSize(48, 20);
    m_sample->setAutoFillBackground(true);
    m_sample->setFrameShape(QFrame::Box);
    m_caption = new QLabel(this);
    m_help = new QPlainTextEdit(this);
    m_help->setReadOnly(true);
    m_register = new QPushButton(toQString(msg::kRegisterButton), this);
    m_register->setDefault(true);
    auto* cancel = new QPushButton(toQString(msg::kCancelButton), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(toQString(msg::kTargetKeyLabel), this), 0, 0);
    grid->addWidget(m_key, 0, 1, 1, 2);
    grid->addWidget(new QLabel(toQString(msg::kKindLabel), this), 1, 0);
    grid->addWidget(m_kind, 1, 1, 1, 2);
    grid->addWidget(m_pathLabel, 2, 0);
    grid->addWidget(m_path, 2, 1);
    grid->addWidget(m_function, 2, 1);
    grid->addWidget(m_browse, 2, 2);
    grid->addWidget(new QLabel(toQString(msg::kCommentLabel), this), 3, 0);
    grid->addWidget(m_comment, 3, 1, 1, 2);
    auto* colours = new QHBoxLayout;
    colours->addWidget(m_useColour);
    colours->addWidget(m_noColour);
    colours->addWidget(m_sample);
    colours->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_register);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    for (QWidget* box : {static_cast<QWidget*>(m_sameNameJpeg), static_cast<QWidget*>(m_transferAsOne),
                         static_cast<QWidget*>(m_pathAtRunTime), static_cast<QWidget*>(m_renameFixed)})
        layout->addWidget(box);
    layout->addLayout(colours);
    layout->addWidget(m_caption);
    layout->addWidget(m_help, 1);
    layout->addLayout(buttons);
    resize(640, 520);
}

void ActionRegistrationDialog::showRecord(std::size_t position)
{
    const actions::ActionDraft draft = actions::ActionDraft::of(actions::ActionTable(m_settings).at(position));
    m_key->setCurrentIndex(actions::targetKeyName(draft.key).empty() ? -1 : draft.key);
    int kindRow = m_kind->findData(draft.kind);
    // A kind not offered today (read from the settings) is shown as it is.
    if (kindRow < 0 && kindInfo(draft.kind)) {
        m_kind->addItem(toQString(kindInfo(draft.kind)->shortName), draft.kind);
        kindRow = m_kind->count() - 1;
    }
    m_kind->setCurrentIndex(kindRow);
    m_function->setCurrentIndex(m_function->findData(draft.function));
    m_path->setText(toQString(draft.path));
    m_comment->setText(toQString(draft.comment));
    m_sameNameJpeg->setChecked(draft.sameNameJpeg);
    m_transferAsOne->setChecked(draft.transferAsOne);
    m_pathAtRunTime->setChecked(draft.pathAtRunTime);
    m_renameFixed->setChecked(draft.renameFixed);
}

std::int32_t ActionRegistrationDialog::chosenKind() const
{
    return m_kind->currentIndex() < 0 ? actions::kNoChoice : m_kind->currentData().toInt();
}

std::int32_t ActionRegistrationDialog::chosenFunction() const
{
    return m_function->currentIndex() < 0 ? actions::kNoChoice : m_function->currentData().toInt();
}

void ActionRegistrationDialog::onKindChanged()
{
    const std::int32_t kind = chosenKind();
    const actions::ActionKindInfo* info = kindInfo(kind);
    const actions::Destination destination = info ? info->destination : actions::Destination::None;
    const bool hasPath = destination == actions::Destination::Folder || destination == actions::Destination::Application;
    const bool isFunction = destination == actions::Destination::Function;
    m_pathLabel->setText(info ? toQString(info->pathLabel) : QStringLiteral("-"));
    m_path->setEnabled(hasPath);
    m_browse->setEnabled(hasPath);
    m_path->setVisible(!isFunction);
    m_function->setVisible(isFunction);
    m_renameFixed->setVisible(destination == actions::Destination::RenameSetting);
    m_transferAsOne->setVisible(destination == actions::Destination::Application);
    m_pathAtRunTime->setVisible(info && info->pathAtRunTime);
    m_sameNameJpeg->setEnabled(!isFunction);
    const bool hasColour = info && info->colour != actions::ColourClass::None;
    m_useColour->setEnabled(hasColour);
    m_noColour->setEnabled(hasColour);
    QPalette sample = m_sample->palette();
    if (hasColour) {
        const auto colourClass = static_cast<std::size_t>(info->colour);
        (m_settings.get(settings::kActionColourClassOn, colourClass) == 1 ? m_useColour : m_noColour)->setChecked(true);
        sample.setColor(QPalette::Window, classColour(m_settings, static_cast<int>(colourClass)));
    } else {
        sample.setColor(QPalette::Window, palette().color(QPalette::Window));
    }
    m_sample->setPalette(sample);
    m_help->setPlainText(toQString(actions::actionHelpText(kind)));
    updateCaption();
}

void ActionRegistrationDialog::updateCaption()
{
    const std::int32_t key = m_key->currentIndex() < 0 ? actions::kNoChoice : m_key->currentIndex();
    m_caption->setText(toQString(actions::registrationCaption(key, chosenKind(), u16View(m_path->text()), chosenFunction())));
}

void ActionRegistrationDialog::browse()
{
    const QString start = m_path->text().startsWith(u'/') ? m_path->text() : QDir::homePath();
    if (chosenKind() == static_cast<std::int32_t>(ActionKind::HandOver)) {
        const QString chosen = QFileDialog::getOpenFileName(this, toQString(msg::kApplicationBrowseTitle), start);
        if (chosen.isEmpty())
            return;
        if (!actions::isExecutableFile(u16View(chosen))) {
            showErrorBox(shell::kProductName, msg::kBadApplication, this);
            return;
        }
        m_path->setText(chosen);
        return;
    }
    const QString chosen = QFileDialog::getExistingDirectory(this, m_pathLabel->text(), start);
    if (!chosen.isEmpty())
        m_path->setText(toQString(actions::withTrailingSeparator(u16View(chosen))));
}

void ActionRegistrationDialog::registerAction()
{
    actions::ActionDraft draft;
    draft.key = m_key->currentIndex() < 0 ? actions::kNoChoice : m_key->currentIndex();
    draft.kind = chosenKind();
    draft.function = chosenFunction();
    draft.path = toU16(m_path->text());
    draft.comment = toU16(m_comment->text());
    draft.sameNameJpeg = m_sameNameJpeg->isChecked();
    draft.transferAsOne = m_transferAsOne->isChecked();
    draft.pathAtRunTime = m_pathAtRunTime->isChecked();
    draft.renameFixed = m_renameFixed->isChecked();
    actions::ActionTable table(m_settings);
    const actions::DraftCheck check = actions::checkDraft(
        draft, table, m_editing, [this] { return askYesNo(shell::kProductName, msg::kDeleteQuestion, this); });
    if (!check.accepted) {
        if (!check.message.empty())
            showErrorBox(shell::kProductName, check.message, this);
        return;
    }
    const bool wasFixed = m_editing && table.at(*m_editing).renameFixed();
    const auto stored = actions::storeDraft(table, m_editing, draft);
    if (!stored) {
        showErrorBox(shell::kProductName, msg::kTableFull, this);
        return;
    }
    // Fixed in this dialog: the action keeps the settings taken when the box
    // was ticked (a box ticked before keeps what the action had).
    const bool renameKind = kindInfo(draft.kind) && kindInfo(draft.kind)->destination == actions::Destination::RenameSetting;
    if (draft.renameFixed && renameKind && (m_renameSnapshot || !wasFixed))
        actions::storeFixedRenameSettings(m_settings.action(*stored).first<actions::ActionRecordLayout::kSize>(),
                                          m_renameSnapshot.value_or(actions::renameSettingsOf(m_settings)));
    const actions::ActionKindInfo* info = kindInfo(draft.kind);
    if (info && info->colour != actions::ColourClass::None) {
        const auto colourClass = static_cast<std::size_t>(info->colour);
        const std::uint8_t on = m_useColour->isChecked() ? 1 : 0;
        m_colourChanged = m_settings.get(settings::kActionColourClassOn, colourClass) != on;
        m_settings.set(settings::kActionColourClassOn, colourClass, on);
    }
    m_keyStates[static_cast<std::size_t>(draft.key)] = actions::KeyState::Changed;
    accept();
}

void ActionRegistrationDialog::onRenameFixedClicked(bool checked)
{
    const bool replace = chosenKind() == static_cast<std::int32_t>(actions::ActionKind::ReplaceRename);
    const actions::RenameSettings current = actions::renameSettingsOf(m_settings);
    if (checked) {
        std::u16string question(replace ? msg::kFixReplaceQuestion : msg::kFixRenameQuestion);
        const std::u16string described = replace ? actions::describeReplaceRename(current) : actions::describeRename(current);
        question.replace(question.find(u"%s"), 2, described);
        if (askYesNo(shell::kProductName, question, this))
            m_renameSnapshot = current;
        else
            m_renameFixed->setChecked(false);
        return;
    }
    if (askYesNo(shell::kProductName, replace ? msg::kUnfixReplaceQuestion : msg::kUnfixRenameQuestion, this))
        m_renameSnapshot.reset();
    else
        m_renameFixed->setChecked(true);
}

} // namespace qlx::gui
