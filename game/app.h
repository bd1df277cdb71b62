// app.h: c_MyApp, the whole game as one application object.
//
// The application layer creates it once and calls its hooks: p_OnCreate once, p_OnUpdate at the
// update rate, p_OnRender once per displayed frame, p_OnSuspend/p_OnResume on focus changes.
// Every screen records what it wants shown into the display list during the update; the render
// pass replays that list. The class is one object whose operations share its fields; its
// operations live in one source file per concern (named beside each section below), and game
// records (map cells, particles, display-list entries, game values) are fixed-width slices of
// float arrays rather than objects.
// Depends on: the runtime's module functions (graphics, audio, input, app) only.
// Must not touch: GLFW, OpenGL or OpenAL directly.
#pragma once

#include "game/globals.h"
#include "game/music/kx_player.h"
#include "runtime/audio/sound.h"
#include "runtime/graphics/graphics.h"
#include "runtime/host/app.h"
#include "runtime/object/array.h"

// The marker of an omitted argument or an empty coordinate; as the first float of a display-list
// entry it marks a rectangle.
constexpr int kOmitted = -3717;
constexpr float kOmittedF = -3717.0f;

class c_MyApp : public c_App {
 public:
  c_MyApp();
  c_MyApp* m_new();
  void mark() override;

  int p_OnCreate() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
  int p_OnUpdate() override;
  int p_OnRender() override;
  int p_OnClose() override;

  // ===== Screen flow and application (app.cpp, loader.cpp, flow.cpp) ========================
  int p_Reload();
  int p_Loader();
  int p_LoadImg(int slot, String name, int width, int height, int frames, int flags);
  int p_LoadFont(int slot, String name, int glyphWidth, int glyphHeight);
  int p_WaitStart(int phase);
  int p_LoadGame();
  int p_LoadMenu();
  int p_InGame();
  int p_FullscreenFlip();
  // Suspend and resume: a game in progress comes back with its pause menu open.
  void p_ApplyFocusPause();
  // The graphics level (1, 2 or 4) and image scale for the device's current size.
  void SetGraphicsLevel();

  int m_Mode = 0;          // screen mode: 1 menu, 2 record score, 4 quit, 5 click to start, 10 play, 11 start
  int m_LoadStep = 0;      // next loader step (1-38); 0 when not loading
  int m_Fullscreen = 0;    // 1 while full screen
  int m_JinglePlayed = 0;  // the start-up jingle plays once per run
  int m_HideHud = 0;       // F2: hides the pause icon and the head-up display
  int m_Paused = 0;        // 1 while a game is paused
  int m_ShowCredits = 0, m_ShowOptions = 0, m_ShowBadges = 0;  // boxes open beside the mode
  int m_CreditsSlide = 0, m_OptionsSlide = 0;                   // 0-30: slide-in counters
  int m_Spin = 0;          // loading spinner angle, +16 per loading frame
  int m_LastUpdateMs = 0, m_UpdFps = 0, m_UpdFpsAvg = 0;  // update-rate meter
  int m_I = 0;             // loop counter shared by many operations; holds the end value after

  // ===== Images, fonts and screen metrics (loader.cpp, display.cpp) =========================
  static constexpr int kImages = 100;
  Array<c_Image*> m_Img;   // image slots
  Array<int> m_ImgInfo;    // per slot: width, height (loaded pixels; a font: advance, line height), frames
  int m_Font = 0;          // slot of the current bitmap font
  int m_GfxLevel = 1;      // resolution level of the loaded set: 1, 2 or 4
  float m_ImgScale = 1;    // 1 / m_GfxLevel: loaded pixels to virtual units
  int m_DevW = 0, m_DevH = 0;                      // window size at the previous render
  float m_ClsR = 0, m_ClsG = 0, m_ClsB = 0, m_ClsA = 0;  // background of every render
  float m_ScaleX = 0, m_ScaleY = 0;                // window pixels per design unit
  int m_Landscape = 0;
  int m_LastRenderMs = 0, m_Fps = 0, m_FpsAvg = 0;

  // ===== Display list and draw state (display.cpp) ===========================================
  static constexpr int kDrawListFloats = 37500;
  static constexpr int kEntryFloats = 15;
  static constexpr int kLastEntryStart = 37484;  // entries start at or below this index
  static constexpr float kRectMarker = -3717.0f;
  static constexpr float kOvalMarker = -3716.0f;
  static constexpr float kLineMarker = -3715.0f;
  int p_CLS2D(float r, float g, float b, float a);
  int p_ResetDraw();
  int p_SetCol(float r, float g, float b, float a);
  int p_SetSize(float sx, float sy);
  int p_SetRot(float angle);
  int p_Alpha(float a);
  int p_DrawImg(int slot, float x, float y, float frame);
  int p_Rect(float x, float y, float w, float h);
  int p_Oval(float x, float y, float rx, float ry);
  int p_Text(float x, float y, String text, float alignX, float alignY);
  int p_Toxt(int x, int y, String text);
  String p_rstr(int value, int width, String pad);
  // Writes one entry of the display list; false when the list is full.
  bool RecordEntry(float kind, float x, float y, float sx, float sy, float frame);

  Array<float> m_DrawList;  // entries of 15 floats, recorded by the update, replayed by the render
  int m_DrawCount = 0;      // floats in use, a multiple of 15
  float m_DrawSX = 1, m_DrawSY = 1;
  float m_DrawRot = 0;      // the negated angle
  float m_DrawR = 255, m_DrawG = 255, m_DrawB = 255;
  float m_DrawAlpha = 1;
  int m_DrawBlend = 1;      // 3 replays additively, anything else with alpha blending

  // ===== Pointer, touch and virtual keys (pointer.cpp) =======================================
  // The update's input passes, in the order the update runs them.
  int p_UpdatePointer();   // pointer and touches in virtual units
  int p_UpdateKeyLatch();  // the key latch; the back key closes the title menu's boxes
  int p_ReadICade();       // iCade characters into virtual keys
  int p_ReleasePad();      // on-screen pad presses last one update
  int p_OnScreenPad();     // the on-screen pad, processed and drawn
  int p_Tilt();            // the tilt indicator
  // Whether an image of a slot drawn at (x, y) at the current scale is under a touch while the
  // pointer is down; the result is also left in m_Hit.
  int p_ImageHit(int slot, float x, float y);
  static constexpr int kTouches = 10;
  static constexpr int kVKeys = 20;
  int m_MouseX = 0, m_MouseY = 0;        // virtual units
  int m_OldMouseX = 0, m_OldMouseY = 0;  // previous update's position, or the press position
  int m_OldMouseDown = 0;
  int m_MouseDown = 0;                   // 1 while the left button or any touch is down
  int m_MouseHit = 0;                    // left-button hits this update
  Array<int> m_TouchDown, m_TouchX, m_TouchY;  // 10 each; an up finger is 0, -3717, -3717
  int m_PointerLatch = 0;  // 1 press consumed, 2 press became a list drag
  int m_KeyLatch = 0;      // 1 key press consumed
  int m_Hit = 0;           // result of the last image hit test
  Array<int> m_VKey;       // 20 virtual keys: 0 up, 1 pad press (one update), 2 held (iCade); [19] back hits
  int m_ICadeChar = 0;
  int m_PadX = 0, m_PadY = 0;
  float m_PadScale = 0;
  int m_PinchOn = 0, m_PinchLast = 0;
  float m_AccelZeroX = 0, m_AccelZeroY = 0, m_TiltX = 0, m_TiltY = 0, m_TiltShowX = 0, m_TiltShowY = 0;

  // ===== Player control (control.cpp) ========================================================
  // Actions: 0 up, 3 left, 5 right, 8 down, 10-15 buttons A-F, 99 back. Non-zero while held.
  // port -1: keyboard and virtual keys only; 0-3: that joystick too; below -1: nothing.
  int p_PlayKey(int action, int useStick, int port);
  int p_PlayKeyAll(int action, int useStick);
  float p_StickX(int stick, int port);
  // Down positive, like the screen.
  float p_StickY(int stick, int port);
  // The two control axes of this frame from keys, the first stick and a sliding finger.
  int p_AnalogueControl();
  int p_iCade(int on);
  int p_MouseIn(float x, float y, float w, float h);
  int p_MouseIn_Centered(float cx, float cy, float w, float h);
  // Records the box and tests it with a margin of 6 units left and above, 12 right and below.
  int p_Touch(float x, float y, float w, float h);
  // Records an image and tests it as a button (the result is also left in m_Hit).
  int p_Button(int slot, float x, float y, float frame);
  // As p_Button with a box half as tall.
  int p_Button_B(int slot, float x, float y, float frame);
  // As p_Button, testing touch 0 only.
  int p_Button0(int slot, float x, float y, float frame);

  float m_MoveX = 0, m_MoveY = 0;        // control axes, -1..1, negative left or up
  float m_KeyRampX = 0, m_KeyRampY = 0;  // held keys build up the axes gradually
  int m_SlideX = -1, m_SlideY = 0;       // slide anchor; x -1 while no finger is down

  // ===== Sound effects and tunes (sound.cpp) =================================================
  static constexpr int kSfxSlots = 24;
  int p_LoadSFX(int n);
  int p_PlaySFX(int n, float rate, float volume, float pan);
  // The short form: rate 1, centred.
  int p_PlaySFX2(int n, float volume) { return p_PlaySFX(n, 1, volume, 0); }
  int p_PlayTune(String name, int flags);
  int p_StopTune();
  // Pauses or resumes the tune with the pause state; run every update.
  int p_UpdateTune();

  Array<c_Sound*> m_Sfx;     // 100 effects by number; null where not loaded
  int m_SfxSlot = 0;         // channel slot used last, 0-23
  Array<int> m_SfxChannel;   // 33: the audio channel of each slot
  int m_TunePlaying = 0;     // 1 while a tune started by p_PlayTune counts as playing

  // ===== Game selection, menus, options, game over (menus.cpp, options.cpp) =================
  int p_Menu();
  int p_GameOver();
  int p_OuyaQuit();
  int p_OptionBox();
  int p_PauseMenu();
  // The ordinal of the current score in its type's top-ten list ("" when unlisted); the rank
  // (1-10, 0 when unlisted) is left in m_I.
  String p_MyNth();
  // The number of title-menu entries unlocked by quest progress (1, 4, 5, 8, 9 or 12).
  int p_MenuUnlocked();
  // Confirms a title-menu entry: a path type starts its game, a quest type opens the quest box.
  int p_MenuConfirm(int entry);
  // Ends the program in an orderly way, writing out a save that is still running first.
  [[noreturn]] void p_Quit();
  // The overscan control of the console configuration, centred at (cx, y).
  int p_OverscanControl(float cx, float y, int& keyLatch);
  // The three layers of the gear icon at (x, y) with the current scale and colour.
  int p_Gear(float x, float y);

  int m_GameType = 0;  // 1-12: Classic, Pathfinder and Expanse, each Quest, Path A, Path B, Random Path
  int m_MenuSlide = 0;  // -32 slid out to the left, 0 in place
  int m_MenuSel = 0;    // highlighted entry, 1-12
  int m_MenuPhase = 0;  // 0 entry list, 1 quest box open, 2 quest box closing
  float m_MenuScroll = 0, m_MenuTarget = 0;  // list scroll offset and where it is heading
  float m_MenuVel = 0;   // fling velocity
  float m_MenuDrag = 0;  // pointer drag of this update
  int m_PauseDir = 0, m_PauseY = 0, m_PauseCursor = 0;  // pause panel: 1 in / -1 out, centre y, -1 quit 0 resume 1 options
  int m_GameOverStep = 0;  // game-over display counter: up to 90 in play, then down by 2 on the menu
  Array<int> m_Scores;  // 1200: top-ten lists at 10 (type - 1), last-ten lists 240 further on
  int m_ScoreBase = 0;
  int m_OptCursor = 0;  // options box: 0 the back icon, 1.. the option lines
  // The options box's own latches: the shared ones are held at 1 while it is open.
  int m_OptKeyLatch = 0, m_OptPointerLatch = 0;
  float m_GearSpin = 0;  // rotation of the gear icon

  // ===== Quest, badges and credits (quest.cpp) ===============================================
  int p_CreditBox();
  int p_BadgesBox();
  int p_ShowBadges();
  // Prepares the quest box for the current game type: it opens on the level after the highest
  // completed one.
  int p_GotoQuest();
  int p_QuestBox();
  // Draws and handles one level row of the quest box.
  int p_QuestLev(int x, int y, int level, int set, int isCursor, int locked);
  // The badge table: "name|detail", or "" for an id without a badge.
  String p_BadgeID(int id);
  String p_BadgeName(int id);
  String p_BadgeDetail(int id);

  // Quest set q (0 Classic, 4 Pathfinder, 8 Expanse) owns entries 1000 q .. 1000 q + 999; entry
  // 1000 q + n is the best score of level n, 0 until it is completed.
  Array<int> m_Quest;      // 21000
  int m_QuestWorld = 0, m_QuestLevel = 0;  // the quest position chosen in the quest box: world, row
  int m_QuestSet = 0;      // quest set of the box
  int m_QuestTop = 0;      // highest playable level: one past the highest completed (at most 999)
  int m_QuestRefresh = 0;  // updates until m_QuestTop is recomputed
  int m_QuestMaxWorld = 0;
  float m_QuestTarget = 0, m_QuestScroll = 0;  // vertical offset of the rows and its target
  Array<bool> m_BadgeGot;  // 256
  Array<int> m_BadgeQueue, m_BadgeTime;  // 15 each: pop-up badge ids and timers (0 a free slot)
  float m_BadgeScroll = 0, m_BadgeTarget = 0;  // badge list box scroll
  float m_CreditsScroll = 0;  // 0 down to -16 between credit lines
  int m_CreditsLine = 0;      // the credit line at the reference position; grows without bound

  // ===== Settings and saving (save/save.cpp) =================================================
  // Loads the state file; each block is checked on its own and reset alone when it fails.
  int p_Load();
  // Starts a save: the settings, badge and highscore blocks at once, the quest blocks one per
  // update, the file written at the last.
  int p_Save();
  // One quest block of a running save.
  int p_SaveExtra();
  // Runs a started save to its end at once.
  int p_FinishSave();

  Array<int> m_Settings;   // 25; [5] sound mode, [10]-[12] on-screen pad, [14] overscan, [15] touchscreen mode
  int m_SaveCursor = 0;    // next m_Quest index of a running save, -1 when none runs
  String m_SaveText;       // the save text under construction

  // ===== Level, players and objects (levels.cpp, play.cpp) ===================================
  // The map: 1024 columns of 50 cells (rows 0-32 used) of 10 floats each.
  static constexpr int kMapFloats = 512000;
  static constexpr int kMapRows = 33;
  static constexpr int kCellType = 0;     // 0 floor, 1 wall, 2 hole
  static constexpr int kCellDrop = 2;     // vertical drawing offset while dropping in or falling
  static constexpr int kCellCrumble = 4;  // 0 intact; grows from 0.05 until the cell is a hole
  static constexpr int kCellSpikeUp = 5;  // 1 while a spike cell's spikes are raised
  static constexpr int kCellSpecial = 6;  // 1 spikes, 2-5 one-way (right, left, up, down); walk mark
  static constexpr int kCellWall = 7;     // wall tile frame + 1
  static constexpr int kCellPill = 8;     // 1 a pill; during the trail search the walk's mark
  static constexpr int kCellTrail = 9;    // direction the best walk entered the cell; 0 off the trail
  static constexpr int kObjects = 51;     // moving-object records of 10 floats
  static constexpr int kTraceWalks = 200; // walks of the trail search
  static constexpr float kCellSize = 47.5f;

  int p_GetLevel();
  // One step (five walks) of the trail search; the last step lays out the level.
  int p_GetLevelB();
  // Pills, friends and hazards.
  int p_GetLevelC();
  // 1 if the player cannot enter (x, y) moving in dir (0 or less: the cell without a direction).
  int p_isSolid(int x, int y, int dir);
  // The trail search's test: outside, a wall, crumbling or marked by the current walk.
  int p_isSolid2(int x, int y);
  // The moving objects' test: outside or a wall.
  int p_isSolid_G(int x, int y, int dir);
  // Floor in column x from row y1 to y2 (y2 = -1: row y1 alone) and in the mirror column.
  int p_Dig(int x, int y1, int y2);
  int p_DigW(int x, int y, int r);
  int p_PutTile(int x, int y, float value, int slot);
  // Starts the collapse of a cell; the home never collapses.
  int p_Cave(int x, int y);
  int p_AddObj(int x, int y, int type);
  int p_Game();
  // A map cell's slot; the cell must lie inside the map array.
  float& Cell(int x, int y, int slot) { return m_Map[(x * 50 + y) * 10 + slot]; }
  bool InMap(int x, int y) const { return x >= 0 && x <= m_MapW && y >= 0 && y < kMapRows; }

  int m_World = 0;        // world of the current level; 0 before the first level
  int m_Tileset = 0;      // world whose wall tiles are loaded in image slot 4
  Array<float> m_Map;     // the map cells
  Array<float> m_Vars;    // 512 game values
  Array<float> m_Objs;    // moving objects: type, x, y, x offset, y offset, direction, -, speed, phase
  Array<float> m_Trail;   // the player's position history: 52 entries of 5 floats (512 allocated)
  int m_Score = 0, m_Lives = 0, m_Level = 0, m_GameOver = 0, m_SeedBase = 0;
  int m_ShowTrail = 0;    // 1: the trail's pills are drawn large
  float m_CamX = 0, m_CamTX = 0, m_CamY = 0, m_CamTY = 0;
  int m_LevelSeed = 0;    // the level's seed: level x 3 + seed base, 1234 for the tutorial
  int m_LevelKind = 1;    // 2 in the Pathfinder types: only the trail is floor, every pill counts
  int m_Tutorial = 0;
  int m_MapW = 0;         // the last map column
  int m_TraceCount = 0, m_BestTrace = 0, m_TraceBudget = 0;
  int m_Outcome = 0;      // 0 playing; -1..-121 dying; 1..121 complete
  int m_Settling = 0;     // 1 while the level drops in
  int m_TuneStarted = 0;
  int m_Frame = 0;        // frames modulo 36000

  // ===== Procedural music (music_hooks.cpp) ==================================================
  // Sets the player up at creation and starts its song, when the procedural music is in use.
  int p_MusicCreate();
  // The update's turn for the music player.
  int p_MusicUpdate();
  // The render pass's turn for the music player: loads its chunks, then clears the window.
  int p_MusicRender();

  c_KxPlayer* m_Music = nullptr;

  // ===== Particles and trail (particles.cpp) =================================================
  // angle (degrees, 0 up, 90 right) and speed may be -3717 for a random value.
  int p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed);
  int p_DoParticles();
  // Float index of the last free particle slot, or -1.
  int p_FreeParticle();
  int p_ResetParticles(int n);
  int p_Ink(int index, float brightness);
  // The player's position and facing become the newest of the trail history.
  int p_enTrail();
  int p_ResetPlayers();
  int p_Speak(String line1, String line2, String line3, float x, float y);
  // An integer from low to high inclusive.
  int p_Rand(int low, int high);

  Array<float> m_Parts;   // 5100: particle records of 10 floats
  int m_PartCount = 250;  // highest particle slot in use

  // ===== Level screen presentation (levelscreen.cpp) =========================================
  // One map cell at its screen position, recorded during the map pass. Hazards show once the
  // level is laid out.
  void DrawCell(int x, int y, float sx, float sy, float alpha, int spikeFrame, bool laidOut);
  void DrawPatroller(int slot);
  // One update of a patroller `o` (laid out as in m_Objs): its offsets glide toward its cell while
  // play runs; in its cell it turns at walls or steps on along its row.
  void StepPatroller(float* o, bool running);
  // The player's drawn position (screen units).
  float PlayerScreenX();
  float PlayerScreenY();
  // Where the player counts as being for touching friends, the home and patrollers: as drawn,
  // but without the drop of his cell, which carries the picture through other rows while the
  // level drops in and falls away.
  float PlayerTouchY();
  void DrawPlayer();
  // Waiting friends: drawn as edge markers when off screen, collected near the player.
  void UpdateFriends();
  void UpdateFollowers();
  void UpdateHome(int pillsLeft);
  void DrawBanner();
  void DrawHud(int pillsLeft);
  void TutorialSpeech();
  // The Quest panel at the end of a level: complete (1) or failed (0), with its choices.
  void LevelEndPanel(int complete);

  int m_ShownScore = 0;            // the HUD's score, easing toward m_Score
  float m_BannerY = 0, m_BannerV = 0;
  float m_PlayerDrop = 0;          // drop of the player's cell in this frame
};

// The application object while the game runs.
c_MyApp* bbGame();
