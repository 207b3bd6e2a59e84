// The imaging core in one include: shared records, pixel buffers, storage
// and the helper units.
#pragma once

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iebits.h"
#include "imaging/core/iecielab.h"
#include "imaging/core/iedefs.h"
#include "imaging/core/iedibbitmap.h"
#include "imaging/core/iefiles.h"
#include "imaging/core/iegeometry.h"
#include "imaging/core/iehash.h"
#include "imaging/core/iememorymapped.h"
#include "imaging/core/ieplatform.h"
#include "imaging/core/iestreams.h"
#include "imaging/core/ievalues.h"
