#pragma once
// The 填挖 summary of the profile shown against its ground line: the lengths
// in fill and in cut, the longest of each, the highest fill and the deepest
// cut with their stations, and the zero points, over the whole ground line.
// The same text as `tarnvel-cli profile ground-summary` prints, from the same
// core function; the window hands it every new profile and every draft of a
// drag, so it follows the design as it moves.

#include <QWidget>

#include <memory>

class QPlainTextEdit;

namespace tarnvel {
class GroundLine;
class Profile;
struct DrawnGround;
}  // namespace tarnvel

namespace tarnvel::ui::profile {

class FillCutPanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FillCutPanel)

public:
    explicit FillCutPanel(QWidget* parent = nullptr);

    // The profile (null: none) and its ground line checked against it (null:
    // none). `drawn`, when given, is the plot's ground of this very profile:
    // its zero points and stretches are taken rather than found again, which
    // halves the work of every frame of a drag.
    void SetProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground,
                    const DrawnGround* drawn = nullptr);
    QString Text() const;

private:
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace tarnvel::ui::profile
