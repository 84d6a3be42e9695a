#pragma once

// The game's loop in a web page, built only by the browser build. FENNOW_BROWSER_LOOP_CALLBACK
// picks the browser's frame callback; otherwise the blocking loop runs as it does natively,
// its waits turned into returns to the browser by ASYNCIFY. Either way the game is cleaned up
// when it quits, and the page hears of the exit.
void runBrowserGame();
