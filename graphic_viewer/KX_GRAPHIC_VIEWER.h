#pragma once

// The 2D drawing model in one include: entities, the document, its transform and the reader.
#include "graphic_viewer/GvDocument.h"
#include "graphic_viewer/GvEntities.h"
#include "graphic_viewer/GvReader.h"
#include "graphic_viewer/GvTransform.h"
#include "graphic_viewer/Sequence2DItems.h"
