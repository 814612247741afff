// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class PicturesPage;
class QTreeView;

// Makes the picture list (the page's lstPic) take local files dropped from a file manager: they
// reach lstPic_DropFiles once the drop has returned. Rows dragged from a list
// view are refused.
void AcceptPictureDrops(PicturesPage& page, QTreeView* list);
