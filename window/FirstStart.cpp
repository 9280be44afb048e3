#include "window/FirstStart.h"

#include "platform/Form.h"
#include "skin/SkinData.h"
#include "skinctrls/SkinMessage.h"
#include "skins/Carried.h"

namespace window {

bool AskFirstStart(const QString& question, bool carriedSkin) {
    skin::TbsSkinData skinData;
    if (carriedSkin) skins::LoadCarriedSkin(skinData);
    skinctrls::TbsSkinMessage message;
    message.SetSkinData(&skinData);
    message.SetCtrlSkinData(&skinData);
    const int answer = message.ShowSkinMessage(question, skinctrls::mtConfirmation,
                                               skinctrls::MsgButton(skinctrls::mbYes) | skinctrls::MsgButton(skinctrls::mbNo));
    return answer == platform::mrYes;
}

}  // namespace window
