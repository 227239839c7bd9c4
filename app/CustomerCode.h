// "Cliente": entering a customer code into the ECU (TPasswordDlg).
#pragma once

class TFormMain;

namespace CustomerCode {
void Enter(TFormMain& main);
}
