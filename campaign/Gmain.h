#pragma once
// The turn flow: the player's turn ends with the button of the main window, every living computer
// country then takes its turn in turn order, the date advances and the player's next turn starts.
// The same unit starts a new game, resumes a loaded one and ends the game when the player's
// country has fallen or the scenario has played its ending. Everything runs on the message-loop
// thread; the window stays alive through the host's process-messages call and blocking pauses.

namespace vdmq {

// The country whose turn runs; the scenario's triggers dispatch by it. 0 at program start.
void SetTurnCountry(int country);
int GetTurnCountry();

// The turn-end button: the computer countries' round, then the next player turn or the game's end.
void EndPlayerTurn();
// One country's turn start: income, fleet flags, supply, docks, rest, the scenario's turn trigger.
void StartCountryTurn(int country);
// One country's turn end: the scenario's after-turn trigger, unless the program is quitting.
void EndCountryTurn(int country);
// Ends the game when the player's country has fallen or the game-over flag is set: the report,
// then the save/load screen without a way back, and the game it chooses.
void ChkGameOver();
// The start choice: the save/load screen without a way back, then the game it chooses (a slot
// loaded and resumed, or a new game started). A load or new game that fails opens the screen again
// with nothing resumed (the world is as it was); any other answer does nothing.
void ChooseGameAtStart();
// Turn country 0, the date and funds captions, the map view reloaded and redrawn.
void InitGameScreen();
// The first player turn of a new game (after the new-game data has been read).
void StartNewGame();
// Resumes a loaded game inside the player's turn as saved (no turn start).
void StartLoadedGame();

// True while EndPlayerTurn or the game-over screens run: map clicks are ignored meanwhile, so a
// click let through by a pause can neither open screens nor re-enter the turn.
bool IsTurnRunning();

}  // namespace vdmq
