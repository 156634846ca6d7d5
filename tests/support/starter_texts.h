// The starter's own texts in UTF-8, byte for byte, as the box watcher records
// a box and as the tests read the string table back; written out here, not
// taken from the program or its string table.
#pragma once

namespace startertexts {

// The caption of every box of the starter (string 8).
constexpr char kCaption[] = "에러";
// Another starter is running (57300).
constexpr char kAlreadyRunning[] = "코르발 스타터 가 이미 실행 중입니다. 잠시 후 다시 시도해주세요.";
// The clipboard offers no text (57400), or it cannot be decrypted (57406).
constexpr char kStartFailed[] = "코르발 스타터 실행에 실패하였습니다. 다시 한 번 시도해주세요.";
// The command line lacks a value (57401).
constexpr char kNotFromTheHomePage[] = "게임 홈페이지에서 실행하셔야 합니다.";
// Putting the old starter file back failed (57405).
constexpr char kRestoreFailed[] = "코르발 스타터 업데이트에 실패하였습니다. \n 다음 실행 시 다시 설치합니다.";
// The starter's self-update failed (57408); it ends with a blank.
constexpr char kUpdateFailed[] = "코르발 스타터 업데이트에 실패하였습니다. ";
// Fetching the update wizard failed (57409).
constexpr char kWizardUpdateFailed[] = "코르발 스타터 업데이트에 실패하였습니다. \n다음 실행 시 자동으로 업데이트 됩니다";

}  // namespace startertexts
