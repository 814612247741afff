// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class PicturesPage;

// Makes the picture list take local files dropped from a file manager: they
// reach lstPic_DropFiles once the drop has returned. Rows dragged from a list
// view are refused.
void AcceptPictureDrops(PicturesPage& page);
