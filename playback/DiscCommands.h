#pragma once

// The disc's own menus, resume, the bookmark and the camera angle. None of them looks at or
// changes the play state (the angle command only decides whether to ask for the angles).
void DvdRootMenu();
void DvdAngleMenu();
void DvdTitleMenu();
void DvdChapterMenu();
void DvdAudioMenu();
void DvdSubPictureMenu();
void DvdResume();
void DvdSaveBookmark();
void DvdLoadBookmark();
void DvdNextAngle();
